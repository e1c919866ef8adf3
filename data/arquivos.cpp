#include "data/arquivos.h"

#include <QNetworkInterface>
#include <QPointer>

#include <exception>

TDados* Dados = nullptr;

namespace {

// Every dataset reads its rows again on the row it showed; one failing does not keep the others closed.
void retomaTodos(const QList<QPointer<Dataset>>& ligados)
{
    std::exception_ptr primeiro;
    for (const QPointer<Dataset>& d : ligados) {
        if (!d) continue;
        try {
            d->retomaConexao();
        } catch (...) {
            if (!primeiro) primeiro = std::current_exception();
        }
    }
    if (primeiro) std::rethrow_exception(primeiro);
}

} // namespace

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
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) return a.toString().left(16);
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
    Programa =
        novo("Programa", {"select *  from PROGRAMAS", "WHERE (1=1)", "ORDER BY MENUHORIZONTAL, MENUVERTICAL, SUBMENU"});
    Programa->setTabela("PROGRAMAS", "PROGRAMA", false);
    Acessos = novo("Acessos", {"select * from ACESSOS", "WHERE USUARIO = 1", "ORDER BY PROGRAMA"});
    Acessos->setTabela("ACESSOS", "ID");
    Usuarios =
        novo("Usuarios", {"select *", "from USUARIOS", "WHERE ATIVO <> 'N' OR ATIVO IS NULL", "ORDER BY NOME", "ASC"});
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

    renovacao_.setInterval(RenovacaoPadrao);
    connect(&renovacao_, &QTimer::timeout, this, &TDados::renovacaoAgendada);
    renovacao_.start();
    novaTentativa_.setSingleShot(true);
    novaTentativa_.setInterval(10 * 1000);
    connect(&novaTentativa_, &QTimer::timeout, this, &TDados::renovacaoAgendada);

    VersaoSistemaCentral = QStringLiteral(COMEDAL_VERSION);
    IpSistemaCentral = enderecoLocal();
    if (!Dados) Dados = this;
}

TDados::~TDados()
{
    try {
        desconecta();
    } catch (...) {
    }
    if (Dados == this) Dados = nullptr;
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
    if (cpf.isEmpty()) return;
    // One prepared lookup serves every row of the list.
    if (!nomePorCpf_)
        nomePorCpf_ = std::make_unique<fb::Statement>(fatura, TransFatura,
                                                      QStringLiteral("SELECT ID, NOME FROM CLIENTE\nWHERE CPF=:CPF"));
    nomePorCpf_->setParameter(QStringLiteral("CPF"), cpf);
    nomePorCpf_->execute();
    if (nomePorCpf_->fetch()) DataSet.field("NOME").setValue(nomePorCpf_->value(1));
    nomePorCpf_->close();
}

void TDados::conecta()
{
    desconectado_ = false;
    if (!fatura.isValid() || fatura.isLost() || !TransFatura.isActive()) reconecta();
}

void TDados::reconecta()
{
    // The cursors open at the loss died with the old connection; every dataset is told, the
    // screens' own too, so no screen has to know.
    QList<QPointer<Dataset>> ligados;
    for (Dataset* d : Dataset::ligadosA(&fatura))
        ligados << d;
    if (!fatura.isValid() || fatura.isLost()) {
        fb::Attachment nova = fb::Attachment::attach(banco_); // the server still away: nothing changes
        // Whatever was made on the old connection goes before it: the client library frees a lost
        // connection's cursors and statements along with its handle.
        for (const QPointer<Dataset>& d : ligados)
            if (d) d->soltaConexao();
        nomePorCpf_.reset();
        TransFatura.rollback(); // lost: only forgotten
        fatura = std::move(nova);
    }
    if (!TransFatura.isActive()) {
        try {
            TransFatura.start(fatura);
        } catch (...) {
            // A connection without its transaction serves nothing: the next action tries again.
            try {
                fatura.detach();
            } catch (...) {
                fatura.abandon();
            }
            throw;
        }
    }
    desconectado_ = false;
    if (!renovacao_.isActive()) renovacao_.start();

    retomaTodos(ligados);
}

bool TDados::renovaTransacao()
{
    if (desconectado_ || !fatura.isValid() || fatura.isLost() || !TransFatura.isActive()) return false;
    QList<QPointer<Dataset>> ligados;
    for (Dataset* d : Dataset::ligadosA(&fatura)) {
        if (d->transaction() != &TransFatura) continue;
        if (d->isEditing()) return false; // what is typed stays in the transaction it was read in
        ligados << d;
    }
    if (momentoLivre && !momentoLivre()) return false;

    // The cursors go before the commit that would close them under the datasets.
    for (const QPointer<Dataset>& d : ligados)
        if (d) d->soltaConexao();
    if (nomePorCpf_) nomePorCpf_->close();
    TransFatura.commit();
    TransFatura.start(fatura);

    retomaTodos(ligados);
    return true;
}

void TDados::setIntervaloRenovacao(int ms)
{
    renovacao_.start(qMax(1, ms));
    novaTentativa_.setInterval(qMax(1, qMin(ms, 10 * 1000)));
}

void TDados::renovacaoAgendada()
{
    bool feita = false;
    try {
        feita = renovaTransacao();
    } catch (const std::exception&) {
        // A lost connection is for the reconnection to handle when the operator next acts; a
        // dataset that could not read its rows again does so on its next move.
        feita = true;
    }
    if (feita)
        novaTentativa_.stop();
    else if (!desconectado_ && !conexaoPerdida())
        novaTentativa_.start();
}

void TDados::desconecta()
{
    desconectado_ = true;
    renovacao_.stop();
    novaTentativa_.stop();
    for (Dataset* d : {Programa, Acessos, Usuarios, Empresas, LogEntrada, Cliente, Refeicao, UF, UltimoRegistro})
        d->close();
    // The screens' own cursors go before the connection, which would take them along.
    for (Dataset* d : Dataset::ligadosA(&fatura))
        d->soltaConexao();
    nomePorCpf_.reset();
    if (TransFatura.isActive()) TransFatura.commit(); // everything was committed retaining already; this only ends it
    fatura.detach();
}
