-- Central database: the meals exported by every restaurant, one row per meal. A meal is known by
-- its restaurant's CNPJ, its local key (IDEXTERNO) and the moment it was first registered
-- (DATAUSER1): a local database created again starts its keys at 1 again, and two installations
-- may still carry the placeholder company.

CREATE TABLE REFEICAO (
  ID          DOUBLE PRECISION NOT NULL,
  CNPJ        VARCHAR(14) NOT NULL,
  IDEXTERNO   DOUBLE PRECISION,
  CPF         VARCHAR(14) NOT NULL,
  DATA        DATE NOT NULL,
  HORA        TIME NOT NULL,
  PESO        NUMERIC(9,3) NOT NULL,
  OBSERVACAO  VARCHAR(100),
  USER1       INTEGER,
  DATAUSER1   TIMESTAMP,
  IP1         VARCHAR(16),
  VERSAO1     VARCHAR(20),
  USER2       INTEGER,
  DATAUSER2   TIMESTAMP,
  IP2         VARCHAR(16),
  VERSAO2     VARCHAR(20),
  CONSTRAINT PK_REFEICAO PRIMARY KEY (ID)
);

CREATE GENERATOR GEN_REFEICAO;

SET TERM ^ ;
CREATE TRIGGER REFEICAO_BI FOR REFEICAO ACTIVE BEFORE INSERT POSITION 0 AS
BEGIN NEW.ID = GEN_ID(GEN_REFEICAO, 1); END^
SET TERM ; ^

-- A meal sent again must replace its own row, never become a second one, nor replace another's.
CREATE UNIQUE INDEX UX_REFEICAO_IDENTIDADE ON REFEICAO (CNPJ, IDEXTERNO, DATAUSER1);
CREATE INDEX IX_REFEICAO_CPF ON REFEICAO (CPF);
-- The daily report, restaurant by restaurant.
CREATE INDEX IX_REFEICAO_CNPJ_DATA ON REFEICAO (CNPJ, DATA);
-- The daily report of every restaurant at once: a period of meals read without stepping from one
-- CNPJ to the next along the index above, which reads every meal of every year.
CREATE INDEX IX_REFEICAO_DATA ON REFEICAO (DATA);
