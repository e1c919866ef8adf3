#include "data/atualizacao.h"

#include <QDateTime>
#include <functional>

namespace atualizacao {
namespace {

bool existe(fb::Attachment& att, fb::Transaction& tra, const QString& sql, const QString& nome)
{
    fb::Statement st(att, tra, sql);
    st.setParameter(QStringLiteral("NOME"), nome);
    st.execute();
    return st.fetch();
}

bool tabelaExiste(fb::Attachment& att, fb::Transaction& tra, const QString& tabela)
{
    return existe(att, tra, QStringLiteral("select 1 from RDB$RELATIONS where RDB$RELATION_NAME = :NOME"), tabela);
}

bool indiceExiste(fb::Attachment& att, fb::Transaction& tra, const QString& indice)
{
    return existe(att, tra, QStringLiteral("select 1 from RDB$INDICES where RDB$INDEX_NAME = :NOME"), indice);
}

void executa(fb::Attachment& att, fb::Transaction& tra, const QString& sql)
{
    fb::Statement st(att, tra, sql);
    st.execute();
}

// One step: it receives the step's transaction (committed with the step's record) and may leave a
// warning for the installer.
struct Definicao
{
    Banco banco;
    int numero;
    const char* descricao;
    std::function<void(fb::Attachment&, fb::Transaction&, QString& aviso)> aplica;
};

// A central meal was one row per CNPJ and local key, so a different meal with the same pair (a
// local database created again, two restaurants with the placeholder company) replaced the row of
// the first. It is now one row per CNPJ, local key and the moment the meal was first registered.
void identidadeDaRefeicaoCentral(fb::Attachment& att, fb::Transaction& tra, QString& aviso)
{
    if (!indiceExiste(att, tra, QStringLiteral("UX_REFEICAO_IDENTIDADE")) &&
        !indiceExiste(att, tra, QStringLiteral("IX_REFEICAO_IDENTIDADE"))) {
        // Rows a version without any check stored twice would refuse a unique index: they stay as
        // they are, under an ordinary index that serves the export's look-up just as well.
        fb::Statement repetidas(att, tra,
                                QStringLiteral("select count(*), coalesce(sum(N), 0) from (select count(*) as N "
                                               "from REFEICAO where IDEXTERNO is not null and DATAUSER1 is not null "
                                               "group by CNPJ, IDEXTERNO, DATAUSER1 having count(*) > 1)"));
        repetidas.execute();
        repetidas.fetch();
        const qint64 grupos = repetidas.value(0).toLongLong();
        const qint64 linhas = repetidas.value(1).toLongLong();
        repetidas.close();
        if (grupos == 0) {
            executa(
                att, tra,
                QStringLiteral("create unique index UX_REFEICAO_IDENTIDADE on REFEICAO (CNPJ, IDEXTERNO, DATAUSER1)"));
        } else {
            executa(att, tra,
                    QStringLiteral("create index IX_REFEICAO_IDENTIDADE on REFEICAO (CNPJ, IDEXTERNO, DATAUSER1)"));
            aviso = QStringLiteral("O banco central tem %1 guardada%2 mais de uma vez (%3 linhas com o mesmo CNPJ, "
                                   "código local e momento de registro); as linhas foram mantidas como estão, e o "
                                   "índice criado não é único.")
                        .arg(grupos == 1 ? QStringLiteral("1 refeição") : QStringLiteral("%1 refeições").arg(grupos),
                             grupos == 1 ? QString() : QStringLiteral("s"))
                        .arg(linhas);
        }
    }
    if (indiceExiste(att, tra, QStringLiteral("UX_REFEICAO_ORIGEM")))
        executa(att, tra, QStringLiteral("drop index UX_REFEICAO_ORIGEM"));
}

// The daily report reads a period of meals: without an index on the date it reads every meal ever
// served. Creating an index rewrites no row.
std::function<void(fb::Attachment&, fb::Transaction&, QString&)> indice(const char* nome, const char* definicao)
{
    return [nome, definicao](fb::Attachment& att, fb::Transaction& tra, QString&) {
        const QString n = QString::fromUtf8(nome);
        if (!indiceExiste(att, tra, n))
            executa(att, tra, QStringLiteral("create index %1 on %2").arg(n, QString::fromUtf8(definicao)));
    };
}

const QList<Definicao>& passos()
{
    static const QList<Definicao> todos{
        {Banco::Central, 1, "Refeição central identificada por CNPJ, código local e momento de registro",
         identidadeDaRefeicaoCentral},
        {Banco::Local, 2, "Índice das refeições por data", indice("IX_REFEICAO_DATA", "REFEICAO (DATA)")},
        {Banco::Central, 3, "Índice das refeições por restaurante e data",
         indice("IX_REFEICAO_CNPJ_DATA", "REFEICAO (CNPJ, DATA)")},
        {Banco::Central, 4, "Índice das refeições centrais por data", indice("IX_REFEICAO_DATA", "REFEICAO (DATA)")},
        // The client list finds an identity document whatever the letter case it was typed in.
        {Banco::Local, 5, "Índice dos clientes pela identidade em maiúsculas",
         indice("IX_CLIENTE_IDENTIDADE_UPPER", "CLIENTE computed by (UPPER(IDENTIDADE))")},
    };
    return todos;
}

void criaRegistro(fb::Attachment& att)
{
    fb::Transaction tra(att);
    if (tabelaExiste(att, tra, QStringLiteral("ATUALIZACOES"))) return;
    executa(att, tra,
            QStringLiteral("create table ATUALIZACOES (NUMERO integer not null, DESCRICAO varchar(100), "
                           "APLICADAEM timestamp, constraint PK_ATUALIZACOES primary key (NUMERO))"));
    tra.commit();
}

} // namespace

QList<int> aplicados(fb::Attachment& att)
{
    fb::Transaction tra(att);
    QList<int> r;
    if (!tabelaExiste(att, tra, QStringLiteral("ATUALIZACOES"))) return r;
    fb::Statement st(att, tra, QStringLiteral("select NUMERO from ATUALIZACOES order by NUMERO"));
    st.execute();
    while (st.fetch())
        r << st.value(0).toInt();
    return r;
}

QList<Passo> aplica(fb::Attachment& att, Banco banco)
{
    criaRegistro(att);
    const QList<int> feitos = aplicados(att);
    QList<Passo> agora;
    for (const Definicao& d : passos()) {
        if (d.banco != banco || feitos.contains(d.numero)) continue;
        Passo p{d.numero, QString::fromUtf8(d.descricao), {}};
        fb::Transaction tra(att);
        d.aplica(att, tra, p.aviso);
        // The record goes with the step's own change: a step is either done and listed or neither.
        fb::Statement registro(att, tra,
                               QStringLiteral("insert into ATUALIZACOES (NUMERO, DESCRICAO, APLICADAEM) values "
                                              "(:NUMERO, :DESCRICAO, :APLICADAEM)"));
        registro.setParameter(QStringLiteral("NUMERO"), p.numero);
        registro.setParameter(QStringLiteral("DESCRICAO"), p.descricao.left(100));
        registro.setParameter(QStringLiteral("APLICADAEM"), QDateTime::currentDateTime());
        registro.execute();
        tra.commit();
        agora << p;
    }
    return agora;
}

} // namespace atualizacao
