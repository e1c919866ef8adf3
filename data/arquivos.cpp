#include "data/arquivos.h"

#include <QNetworkInterface>

TDados* Dados = nullptr;

void ExecutorSQL::ExecQuery()
{
    fb::Statement st(att_, tra_, SQL.join(u'\n'));
    for (const QString& p : st.parameterNames())
        st.setParameter(p, params_.value(p));
    st.execute();
    afetadas_ = st.affectedRows();
    params_.clear();
}

QString enderecoLocal()
{
    for (const QHostAddress& a : QNetworkInterface::allAddresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            return a.toString().left(16);
    return {};
}

TDados::TDados(const fb::ConnectionSettings& banco, QObject* parent) : QObject(parent), banco_(banco)
{
    fatura = fb::Attachment::attach(banco_);
    TransFatura.start(fatura);

    auto novo = [this](const char* name, const QStringList& sql) {
        auto* d = new Dataset(QString::fromLatin1(name), &fatura, &TransFatura, this);
        d->setSQL(sql);
        return d;
    };
    Programa = novo("Programa", {"select *  from PROGRAMAS", "WHERE (1=1)",
                                 "ORDER BY MENUHORIZONTAL, MENUVERTICAL, SUBMENU"});
    Programa->setTabela("PROGRAMAS", "PROGRAMA", false);
    Acessos = novo("Acessos", {"select * from ACESSOS", "WHERE USUARIO = 1", "ORDER BY PROGRAMA"});
    Acessos->setTabela("ACESSOS", "ID");
    Usuarios = novo("Usuarios", {"select *", "from USUARIOS", "WHERE ATIVO <> 'N' OR ATIVO IS NULL", "ORDER BY NOME",
                                 "ASC"});
    Usuarios->setTabela("USUARIOS", "ID");
    Empresas = novo("Empresas", {"SELECT *  from EMPRESAS", ""});
    Empresas->setTabela("EMPRESAS", "ID");
    LogEntrada = novo("LogEntrada", {"Select * from LogUsuario", "where ID = 0"});
    LogEntrada->setTabela("LOGUSUARIO", "ID");
    LogEntrada->refreshSQL.clear(); // the session log is never re-read row by row
    Cliente = novo("Cliente", {"select * from CLIENTE", "WHERE ID = 0", "ORDER BY NOME", "ASC"});
    Cliente->setTabela("CLIENTE", "ID");
    Refeicao = novo("Refeicao", {"select * from REFEICAO", "ORDER BY ID DESC"});
    Refeicao->addCalculatedField("NOME", TipoCampo::String, 60);
    Refeicao->onCalcFields = [this](Dataset& d) { RefeicaoCalcFields(d); };
    UF = novo("UF", {"SELECT ID, UF, NOME", "FROM UNIDADEFEDERACAO", "ORDER BY NOME"});
    UltimoRegistro = novo("UltimoRegistro", {});
    ExecSQL = std::make_unique<ExecutorSQL>(fatura, TransFatura);

    for (Dataset* d : {Programa, Acessos, Usuarios, Empresas, LogEntrada, Cliente, Refeicao}) {
        d->afterPost = [this](Dataset& ds) { ProgramaAfterPost(ds); };
        d->afterDelete = [this](Dataset& ds) { ProgramaAfterPost(ds); };
    }

    VersaoSistemaCentral = QStringLiteral(COMEDAL_VERSION);
    IpSistemaCentral = enderecoLocal();
    if (!Dados)
        Dados = this;
}

TDados::~TDados()
{
    try {
        desconecta();
    } catch (...) {
    }
    if (Dados == this)
        Dados = nullptr;
}

void TDados::ProgramaAfterPost(Dataset& DataSet)
{
    TransFatura.commitRetaining();
    const int Marcador = DataSet.bookmark();
    DataSet.close();
    DataSet.open();
    DataSet.gotoBookmark(Marcador);
}

void TDados::RefeicaoCalcFields(Dataset& DataSet)
{
    const QString cpf = DataSet.field("CPF").asString();
    if (cpf.isEmpty())
        return;
    // One prepared lookup serves every row of the list.
    if (!nomePorCpf_)
        nomePorCpf_ = std::make_unique<fb::Statement>(fatura, TransFatura,
                                                      QStringLiteral("SELECT ID, NOME FROM CLIENTE\nWHERE CPF=:CPF"));
    nomePorCpf_->setParameter(QStringLiteral("CPF"), cpf);
    nomePorCpf_->execute();
    if (nomePorCpf_->fetch())
        DataSet.field("NOME").setValue(nomePorCpf_->value(1));
    nomePorCpf_->close();
}

void TDados::conecta()
{
    if (!fatura.isValid())
        fatura = fb::Attachment::attach(banco_);
    if (!TransFatura.isActive())
        TransFatura.start(fatura);
}

void TDados::desconecta()
{
    for (Dataset* d : {Programa, Acessos, Usuarios, Empresas, LogEntrada, Cliente, Refeicao, UF, UltimoRegistro})
        d->close();
    nomePorCpf_.reset();
    if (TransFatura.isActive())
        TransFatura.commit(); // everything was committed retaining already; this only ends it
    fatura.detach();
}
