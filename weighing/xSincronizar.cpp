#include "weighing/xSincronizar.h"

#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/sessao.h"
#include "common/ui/dbgrid.h"
#include "common/ui/relatorioerro.h"
#include "data/arquivos.h"
#include "data/conexao.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include <climits>
#include <iterator>

namespace {

// The local columns a batch reads, in this order; the central row takes them after CNPJ, with
// ID as IDEXTERNO.
const char* const colunasLocais[] = {"ID",        "CPF", "DATA",    "HORA",  "PESO",      "OBSERVACAO", "USER1",
                                     "DATAUSER1", "IP1", "VERSAO1", "USER2", "DATAUSER2", "IP2",        "VERSAO2"};
constexpr int NumColunas = int(std::size(colunasLocais));
constexpr int ColunaUser2 = 10; // the second audit group: USER2, DATAUSER2, IP2, VERSAO2

QString colunaCentral(int i)
{
    return i == 0 ? QStringLiteral("IDEXTERNO") : QString::fromLatin1(colunasLocais[i]);
}

QString listaCentral()
{
    QStringList c{QStringLiteral("CNPJ")};
    for (int i = 0; i < NumColunas; ++i)
        c << colunaCentral(i);
    return c.join(QStringLiteral(", "));
}

QString listaLocal()
{
    QStringList c;
    for (const char* nome : colunasLocais)
        c << QString::fromLatin1(nome);
    return c.join(QStringLiteral(", "));
}

// Rows of one central execute block, and IDs of one local mark. Eight rows take most of the
// round trips away; wider blocks cost more in binding their parameters than they save.
constexpr int BlocoCentral = 8;
constexpr int BlocoMarca = 100;

} // namespace

// ---------------------------------------------------------------- progress

ProgressoExportacao::~ProgressoExportacao() = default;

ProgressoDialogo::ProgressoDialogo(QWidget* pai) : dialogo_(new QProgressDialog(pai))
{
    dialogo_->setObjectName(QStringLiteral("Progresso"));
    dialogo_->setWindowTitle(QStringLiteral("Sincronizar Dados"));
    dialogo_->setCancelButtonText(QStringLiteral("Parar"));
    dialogo_->setWindowModality(Qt::WindowModal);
    dialogo_->setMinimumDuration(0);
    dialogo_->setAutoClose(false);
    dialogo_->setAutoReset(false);
    dialogo_->setMinimumWidth(360);
}

ProgressoDialogo::~ProgressoDialogo()
{
    delete dialogo_.data();
}

void ProgressoDialogo::mostra(qint64 enviadas, qint64 pendentes)
{
    const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    const qint64 total = qMax<qint64>(1, enviadas + pendentes);
    dialogo_->setMaximum(int(qMin<qint64>(total, INT_MAX)));
    dialogo_->setValue(int(qMin<qint64>(enviadas, INT_MAX)));
    dialogo_->setLabelText(QStringLiteral("Exportando refeições para o banco central\nEnviadas: %1    Pendentes: %2")
                               .arg(br.toString(enviadas), br.toString(pendentes)));
    // The run blocks the event loop between batches: let the windows paint and "Parar" be pressed.
    QCoreApplication::processEvents();
}

void ProgressoDialogo::inicio(qint64 pendentes)
{
    if (!dialogo_) return;
    dialogo_->setMinimum(0);
    mostra(0, pendentes);
    dialogo_->show();
    QCoreApplication::processEvents();
}

bool ProgressoDialogo::lote(qint64 enviadas, qint64 pendentes)
{
    if (!dialogo_) return true;
    if (!dialogo_->wasCanceled()) mostra(enviadas, pendentes);
    return !dialogo_->wasCanceled();
}

void ProgressoDialogo::fim()
{
    if (dialogo_) dialogo_->hide();
}

// ---------------------------------------------------------------- the run

ExportacaoRefeicoes::ExportacaoRefeicoes(fb::Attachment& local, fb::Transaction& transLocal, fb::Attachment& central,
                                         fb::Transaction& transCentral)
    : local_(local), transLocal_(transLocal), central_(central), transCentral_(transCentral)
{
}

ExportacaoRefeicoes::~ExportacaoRefeicoes() = default;

void ExportacaoRefeicoes::prepara()
{
    bloco_.reset();
    exportar_.reset();
    conta_.reset();
    lote_.reset();
    loteAbaixo_.reset();
    marcaLote_.reset();
    marcaUma_.reset();

    conta_ = std::make_unique<fb::Statement>(local_, transLocal_,
                                             QStringLiteral("select count(*) from REFEICAO where EXPORTADOEM is null"));
    const QString selecao =
        QStringLiteral("select first (:QUANTAS) %1 from REFEICAO where EXPORTADOEM is null").arg(listaLocal());
    // Newest first. The next batch starts below the last one, so the index walk never passes
    // again over the meals already marked.
    lote_ = std::make_unique<fb::Statement>(local_, transLocal_, selecao + QStringLiteral(" order by ID desc"));
    loteAbaixo_ = std::make_unique<fb::Statement>(local_, transLocal_,
                                                  selecao + QStringLiteral(" and ID < :ABAIXO order by ID desc"));
    QStringList ids;
    for (int i = 0; i < BlocoMarca; ++i)
        ids << QStringLiteral(":ID_%1").arg(i);
    marcaLote_ = std::make_unique<fb::Statement>(
        local_, transLocal_,
        QStringLiteral("update REFEICAO set EXPORTADOEM = :EXPORTADOEM where ID in (%1)").arg(ids.join(u',')));
    marcaUma_ = std::make_unique<fb::Statement>(
        local_, transLocal_, QStringLiteral("update REFEICAO set EXPORTADOEM = :EXPORTADOEM where ID = :OLD_ID"));

    // The central write replaces the row the same meal left there before.
    QStringList valores{QStringLiteral(":CNPJ")};
    for (int i = 0; i < NumColunas; ++i)
        valores << u':' + colunaCentral(i);
    exportar_ = std::make_unique<fb::Statement>(central_, transCentral_,
                                                QStringLiteral("update or insert into REFEICAO (%1) values (%2) "
                                                               "matching (CNPJ, IDEXTERNO)")
                                                    .arg(listaCentral(), valores.join(QStringLiteral(", "))));
    bloco_ = preparaBloco();
}

// The names of the block's parameters, P<column>_<row>, made once: they are set for every row sent.
const QString& ExportacaoRefeicoes::nomeNoBloco(int coluna, int linha)
{
    static const QVector<QString> nomes = [] {
        QVector<QString> n;
        for (int l = 0; l < BlocoCentral; ++l)
            for (int c = 0; c < NumColunas; ++c)
                n << QStringLiteral("P%1_%2").arg(c).arg(l);
        return n;
    }();
    return nomes[linha * NumColunas + coluna];
}

std::unique_ptr<fb::Statement> ExportacaoRefeicoes::preparaBloco()
{
    // One round trip for many meals: the block's input parameters carry the rows, its body holds
    // one update-or-insert per row. The body names its variables :"P0_0", as :P0_0 in the text
    // is a parameter of ours.
    QStringList entradas{QStringLiteral("PC TYPE OF COLUMN REFEICAO.CNPJ = :PC")};
    QString corpo;
    const QString colunas = listaCentral();
    for (int l = 0; l < BlocoCentral; ++l) {
        QStringList valores{QStringLiteral(":\"PC\"")};
        for (int c = 0; c < NumColunas; ++c) {
            const QString& p = nomeNoBloco(c, l);
            entradas << QStringLiteral("%1 TYPE OF COLUMN REFEICAO.%2 = :%1").arg(p, colunaCentral(c));
            valores << QStringLiteral(":\"%1\"").arg(p);
        }
        corpo += QStringLiteral("update or insert into REFEICAO (%1) values (%2) matching (CNPJ, IDEXTERNO);\n")
                     .arg(colunas, valores.join(u','));
    }
    return std::make_unique<fb::Statement>(
        central_, transCentral_,
        QStringLiteral("execute block (%1)\nas\nbegin\n%2end").arg(entradas.join(QStringLiteral(",\n")), corpo));
}

void ExportacaoRefeicoes::preencheLinha(fb::Statement& st, const Linha& linha, int posicao)
{
    static const QVector<QString> simples = [] {
        QVector<QString> n;
        for (int c = 0; c < NumColunas; ++c)
            n << colunaCentral(c);
        return n;
    }();
    // The second audit group goes only with its user: a meal never changed arrives without it.
    const bool segundoGrupo = !linha[ColunaUser2].isNull();
    for (int c = 0; c < NumColunas; ++c)
        st.setParameter(posicao < 0 ? simples[c] : nomeNoBloco(c, posicao),
                        c >= ColunaUser2 && !segundoGrupo ? QVariant() : linha[c]);
}

void ExportacaoRefeicoes::enviaBloco(const QVector<Linha>& lote, int inicio)
{
    bloco_->setParameter(QStringLiteral("PC"), cnpj_);
    for (int l = 0; l < BlocoCentral; ++l)
        preencheLinha(*bloco_, lote[inicio + l], l);
    bloco_->execute();
}

void ExportacaoRefeicoes::enviaUma(const Linha& linha)
{
    exportar_->setParameter(QStringLiteral("CNPJ"), cnpj_);
    preencheLinha(*exportar_, linha, -1);
    exportar_->execute();
}

int ExportacaoRefeicoes::envia(const QVector<Linha>& lote, QString& erro)
{
    int feitas = 0;
    while (feitas < lote.size()) {
        const int n = qMin(BlocoCentral, int(lote.size()) - feitas);
        if (n == BlocoCentral) {
            try {
                enviaBloco(lote, feitas);
                feitas += n;
                continue;
            } catch (const fb::Error&) {
                // The block is undone as a whole; its meals go again one by one, so those before
                // the refused one still go and the reason given is that meal's.
            }
        }
        // A short end of the batch goes one by one too: cheaper than preparing a block of its size.
        for (int i = 0; i < n; ++i) {
            try {
                enviaUma(lote[feitas]);
                ++feitas;
            } catch (const fb::Error& e) {
                erro = e.message();
                return feitas;
            }
        }
    }
    return feitas;
}

qint64 ExportacaoRefeicoes::marca(const QVector<Linha>& lote, int quantas, const QDateTime& momento, QString& erro)
{
    static const QVector<QString> nomesId = [] {
        QVector<QString> n;
        for (int i = 0; i < BlocoMarca; ++i)
            n << QStringLiteral("ID_%1").arg(i);
        return n;
    }();
    qint64 marcadas = 0;
    int feitas = 0;
    while (feitas < quantas && erro.isEmpty()) {
        const int n = qMin(BlocoMarca, quantas - feitas);
        try {
            marcaLote_->setParameter(QStringLiteral("EXPORTADOEM"), momento);
            // A shorter list repeats its last key.
            for (int i = 0; i < BlocoMarca; ++i)
                marcaLote_->setParameter(nomesId[i], lote[feitas + qMin(i, n - 1)][0]);
            marcaLote_->execute();
            marcadas += marcaLote_->affectedRows();
            feitas += n;
            continue;
        } catch (const fb::Error&) {
            // One of them is locked (a meal being written at another counter): mark the others
            // before it and stop there; the rest go again on the next run and replace their rows.
        }
        for (int i = 0; i < n; ++i) {
            try {
                marcaUma_->setParameter(QStringLiteral("EXPORTADOEM"), momento);
                marcaUma_->setParameter(QStringLiteral("OLD_ID"), lote[feitas][0]);
                marcaUma_->execute();
                marcadas += marcaUma_->affectedRows();
                ++feitas;
            } catch (const fb::Error& e) {
                erro = e.message();
                break;
            }
        }
    }
    if (marcadas == 0) return 0;
    try {
        transLocal_.commitRetaining();
    } catch (const fb::Error& e) {
        // Left as they are: committed later they are still right, as their central rows are.
        if (erro.isEmpty()) erro = e.message();
        return 0;
    }
    return marcadas;
}

qint64 ExportacaoRefeicoes::contaPendentes()
{
    conta_->execute();
    const qint64 n = conta_->fetch() ? conta_->value(0).toLongLong() : 0;
    conta_->close();
    return n;
}

QVector<ExportacaoRefeicoes::Linha> ExportacaoRefeicoes::buscaLote(const std::optional<double>& abaixoDe)
{
    fb::Statement& st = abaixoDe ? *loteAbaixo_ : *lote_;
    st.setParameter(QStringLiteral("QUANTAS"), tamanhoLote_);
    if (abaixoDe) st.setParameter(QStringLiteral("ABAIXO"), *abaixoDe);
    st.execute();
    QVector<Linha> linhas;
    linhas.reserve(tamanhoLote_);
    while (st.fetch())
        linhas.push_back(st.row());
    st.close();
    return linhas;
}

ExportacaoRefeicoes::Resultado ExportacaoRefeicoes::executa(const QString& cnpj, ProgressoExportacao* progresso)
{
    Resultado r;
    // Without it every central row would be refused (or, blank, stored under no company).
    if (cnpj.trimmed().isEmpty()) {
        r.erro = QStringLiteral("A empresa não tem CNPJ cadastrado.");
        return r;
    }
    if (!exportar_) prepara();
    cnpj_ = cnpj;

    struct Fim
    {
        ProgressoExportacao* p;
        ~Fim()
        {
            if (p) p->fim();
        }
    } fim{nullptr};

    try {
        qint64 total = contaPendentes();
        if (progresso) {
            progresso->inicio(total);
            fim.p = progresso;
        }
        std::optional<double> abaixoDe;
        qint64 nestaPassagem = 0;
        for (;;) {
            const QVector<Linha> lote = buscaLote(abaixoDe);
            if (lote.isEmpty()) {
                // Down to the oldest: once more from the top for meals stored during the run.
                if (!abaixoDe || nestaPassagem == 0) break;
                abaixoDe.reset();
                nestaPassagem = 0;
                total = r.exportadas + contaPendentes();
                continue;
            }
            abaixoDe = lote.last()[0].toDouble();

            const int enviadas = envia(lote, r.erro);
            if (enviadas > 0) {
                try {
                    transCentral_.commitRetaining();
                } catch (const fb::Error& e) {
                    r.erro = e.message();
                    break;
                }
                if (aposEnvioCentral) aposEnvioCentral();
                QString erroMarca;
                const qint64 marcadas = marca(lote, enviadas, agora(), erroMarca);
                if (r.erro.isEmpty()) r.erro = erroMarca;
                r.exportadas += marcadas;
                nestaPassagem += marcadas;
            }
            if (!r.erro.isEmpty()) break;
            if (progresso && !progresso->lote(r.exportadas, qMax<qint64>(0, total - r.exportadas))) {
                r.interrompida = true;
                break;
            }
        }
    } catch (const fb::Error& e) {
        r.erro = e.message();
    }
    return r;
}

// ---------------------------------------------------------------- the screen

fb::ConnectionSettings TSincronizar::bancoCentral()
{
    auto valor = [](const char* chave, const QString& padrao) {
        const QString v = BuscaConfiguracao(QString::fromLatin1(chave)).trimmed();
        return v.isEmpty() ? padrao : v;
    };
    const QString servidor = valor("ServidorCentral", conexao::servidorPadrao());
    const QString caminho = valor("BancoCentral", conexao::caminhoCentralPadrao());
    const QString senha = BuscaConfiguracao(QStringLiteral("SenhaCentral"));
    return {servidor + u':' + caminho, QStringLiteral("SYSDBA"), senha.isEmpty() ? conexao::senhaPadrao() : senha};
}

TSincronizar::TSincronizar(QWidget* parent) : TSincronizar(bancoCentral(), parent) {}

TSincronizar::TSincronizar(const fb::ConnectionSettings& central, QWidget* parent)
    : QWidget(parent), externo(fb::Attachment::attach(central)), TransExterno(externo), central_(central)
{
    setObjectName(QStringLiteral("Sincronizar"));
    setWindowTitle(QStringLiteral("Sincronizar Dados"));
    resize(813, 410);

    Refeicao = new Dataset(QStringLiteral("Refeicao"), &Dados->fatura, &Dados->TransFatura, this);
    Refeicao->setSQL({QStringLiteral("select first 1000 * from REFEICAO"), QStringLiteral("WHERE EXPORTADOEM IS NULL"),
                      QStringLiteral("ORDER BY ID DESC")});
    // Only the export moment is ever written.
    Refeicao->modifySQL = QStringLiteral("update REFEICAO\nset\nEXPORTADOEM = :EXPORTADOEM\nwhere\nID = :OLD_ID");
    Refeicao->refreshSQL =
        QStringLiteral("Select ID, CPF, DATA, HORA, PESO, OBSERVACAO, USER1, DATAUSER1, IP1, VERSAO1, "
                       "USER2, DATAUSER2, IP2, VERSAO2, EXPORTADOEM\nfrom REFEICAO\nwhere\nID = :ID");
    Refeicao->field(QStringLiteral("CPF")).setDisplayLabel(QStringLiteral("C.P.F."));
    Refeicao->field(QStringLiteral("DATA")).setDisplayLabel(QStringLiteral("Data"));
    Refeicao->field(QStringLiteral("DATA")).setDisplayFormat(QStringLiteral("dd/mm/yyyy"));
    Refeicao->field(QStringLiteral("HORA")).setDisplayLabel(QStringLiteral("Hora"));
    Refeicao->field(QStringLiteral("HORA")).setDisplayFormat(QStringLiteral("hh:mm"));
    Refeicao->field(QStringLiteral("PESO")).setDisplayLabel(QStringLiteral("Peso"));
    Refeicao->field(QStringLiteral("PESO")).setDisplayFormat(QStringLiteral("#,###.000"));
    Refeicao->field(QStringLiteral("OBSERVACAO")).setDisplayLabel(QStringLiteral("Observação"));
    Refeicao->field(QStringLiteral("EXPORTADOEM")).setDisplayLabel(QStringLiteral("Exportado em"));
    Refeicao->field(QStringLiteral("EXPORTADOEM")).setDisplayFormat(QStringLiteral("dd/mm/yyyy hh:mm"));

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->adicionaColuna(QStringLiteral("ID"), QStringLiteral("ID"), 70);
    DBGrid1->adicionaColuna(QStringLiteral("CPF"), QString(), 110);
    DBGrid1->adicionaColuna(QStringLiteral("DATA"), QString(), 80);
    DBGrid1->adicionaColuna(QStringLiteral("HORA"), QString(), 60);
    DBGrid1->adicionaColuna(QStringLiteral("PESO"), QString(), 70);
    DBGrid1->adicionaColuna(QStringLiteral("EXPORTADOEM"), QString(), 130);
    DBGrid1->adicionaColuna(QStringLiteral("OBSERVACAO"), QString(), 288);
    DBGrid1->setZebra(true);
    DBGrid1->horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: #A6CAF0; }"));
    DBGrid1->liga(Refeicao);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(54);
    SpeedButton1 = new QPushButton(QStringLiteral("Sincronizar"), Panel1);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setFixedSize(217, 41);
    auto* rodape = new QHBoxLayout(Panel1);
    rodape->setContentsMargins(8, 0, 8, 0);
    rodape->addWidget(SpeedButton1);
    rodape->addStretch();

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(DBGrid1, 1);
    v->addWidget(Panel1);

    connect(SpeedButton1, &QPushButton::clicked, this, [this] { protegido([&] { SpeedButton1Click(); }); });

    Refeicao->open();
}

TSincronizar::~TSincronizar() = default;

void TSincronizar::reconecta()
{
    TransExterno = fb::Transaction(); // the old one goes with its connection; its errors do not matter
    externo = fb::Attachment::attach(central_);
    TransExterno.start(externo);
}

void TSincronizar::preparaExportacao(ExportacaoRefeicoes& exportacao)
{
    try {
        exportacao.prepara();
    } catch (const fb::Error&) {
        // The central server may have been restarted since the screen opened, which stays open
        // for the whole session: one new connection, and its error is the one reported.
        reconecta();
        exportacao.prepara();
    }
}

void TSincronizar::SpeedButton1Click()
{
    if (exportando_) return;
    exportando_ = true;
    struct Fim
    {
        bool& f;
        ~Fim() { f = false; }
    } fim{exportando_};

    Refeicao->close();
    Refeicao->open();
    if (!Dados->Empresas->active()) Dados->Empresas->open();
    const QString cnpj =
        Dados->Empresas->isEmpty() ? QString() : Dados->Empresas->field(QStringLiteral("CNPJ")).asString();

    ExportacaoRefeicoes exportacao(Dados->fatura, Dados->TransFatura, externo, TransExterno);
    exportacao.setTamanhoLote(tamanhoLote_);
    preparaExportacao(exportacao);

    ExportacaoRefeicoes::Resultado r;
    {
        std::unique_ptr<ProgressoExportacao> progresso =
            criaProgresso ? criaProgresso(this) : std::make_unique<ProgressoDialogo>(this);
        r = exportacao.executa(cnpj, progresso.get());
    }
    if (!r.erro.isEmpty()) simples(QStringLiteral("Ocorreu um erro na exportação\n") + r.erro);
    simples(QStringLiteral("Exportado ") + QString::number(r.exportadas) + QStringLiteral(" registros"));

    Refeicao->close();
    Refeicao->open();
}
