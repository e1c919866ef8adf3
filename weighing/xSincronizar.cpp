#include "weighing/xSincronizar.h"

#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/sessao.h"
#include "common/texto.h"
#include "common/ui/dbgrid.h"
#include "common/ui/direitostela.h"
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
#include <QSet>
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

// Rows of one central execute block: sixteen take most of the round trips away; wider blocks
// save little more and make a refused meal's block longer to send again row by row.
constexpr int BlocoCentral = 16;

// What makes a central row one meal.
const char* const identidadeCentral = "CNPJ, IDEXTERNO, DATAUSER1";

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

ExportacaoRefeicoes::ExportacaoRefeicoes(fb::Attachment& local, fb::Attachment& central)
    : local_(local), central_(central)
{
}

ExportacaoRefeicoes::~ExportacaoRefeicoes()
{
    // Statements go before the transactions they were bound to; a transaction still open is undone.
    conta_.reset();
    for (auto& par : marca_)
        for (auto& st : par)
            st.reset();
    desmarca_.reset();
    exportar_.reset();
    bloco_.reset();
}

QString ExportacaoRefeicoes::outraEstacaoExportando()
{
    return QStringLiteral("Outra estação está exportando as refeições deste restaurante. Aguarde o fim da "
                          "exportação dela e sincronize de novo.");
}

namespace {

const QString SemCnpj = QStringLiteral("A empresa não tem CNPJ cadastrado.");

QString mascaraCnpj(const QString& c)
{
    return QStringLiteral("%1.%2.%3/%4-%5").arg(c.left(2), c.mid(2, 3), c.mid(5, 3), c.mid(8, 4), c.mid(12, 2));
}

// Why a CNPJ cannot stamp the meals; empty when it can.
QString recusaCnpj(const QString& cnpj)
{
    if (cnpj.trimmed().isEmpty()) return SemCnpj;
    if (cnpj == QStringView(CnpjDeExemplo))
        return QStringLiteral("A empresa ainda tem o CNPJ de exemplo da instalação (%1). O responsável pela "
                              "instalação deve informar o CNPJ do restaurante (scripts/empresa) antes da exportação.")
            .arg(mascaraCnpj(cnpj));
    if (!cnpjValido(cnpj))
        return QStringLiteral("O CNPJ da empresa (%1) não é válido; corrija-o antes da exportação.").arg(cnpj);
    return {};
}

// The block that holds and marks one batch: newest first, each pending meal marked in place and its
// values read back from the very version marked, so no change made before the mark is missed and
// none can come after it. Carefully (cuidadoso), a meal another transaction holds is reported and
// left as it is; otherwise such a meal fails the whole block, which is cheaper when none is held.
QString blocoMarca(bool abaixo, bool cuidadoso)
{
    QStringList saidas, retorno, limpa;
    for (const char* c : colunasLocais) {
        const QString nome = QString::fromLatin1(c);
        saidas << QStringLiteral("%1 TYPE OF COLUMN REFEICAO.%1").arg(nome);
        retorno << u':' + (u'"' + nome + u'"');
        limpa << QStringLiteral("%1 = null;").arg(nome);
    }
    return QStringLiteral(
               "execute block (QUANTAS integer = :QUANTAS, MOMENTO TYPE OF COLUMN REFEICAO.EXPORTADOEM = :MOMENTO%1)\n"
               "returns (%2, PRESA smallint)\n"
               "as\n"
               "declare variable CHAVE TYPE OF COLUMN REFEICAO.ID;\n"
               "begin\n"
               "  for select ID from REFEICAO where EXPORTADOEM is null%3 order by ID desc rows :\"QUANTAS\"\n"
               "      into :\"CHAVE\" do\n"
               "  begin\n"
               "    %4 PRESA = 0;\n"
               "    begin\n"
               "      update REFEICAO set EXPORTADOEM = :\"MOMENTO\" where ID = :\"CHAVE\" and EXPORTADOEM is null\n"
               "        returning %5 into %6;\n"
               "      %7\n"
               "    end\n"
               "    if (PRESA = 1) then begin ID = :\"CHAVE\"; suspend; end\n"
               "    else if (ID is not null) then suspend;\n"
               "  end\n"
               "end")
        .arg(abaixo ? QStringLiteral(", ABAIXO TYPE OF COLUMN REFEICAO.ID = :ABAIXO") : QString(), saidas.join(u','),
             abaixo ? QStringLiteral(" and ID < :\"ABAIXO\"") : QString(), limpa.join(u' '), listaLocal(),
             retorno.join(u','),
             cuidadoso
                 ? QStringLiteral("when gdscode lock_conflict, gdscode update_conflict, gdscode deadlock do PRESA = 1;")
                 : QString());
}

} // namespace

void ExportacaoRefeicoes::preparaLocal()
{
    conta_ = std::make_unique<fb::Statement>(local_, transLocal_,
                                             QStringLiteral("select count(*) from REFEICAO where EXPORTADOEM is null"));
    // The next batch starts below the last one, so the index walk never passes again over the
    // meals already marked.
    for (int abaixo = 0; abaixo < 2; ++abaixo)
        for (int cuidadoso = 0; cuidadoso < 2; ++cuidadoso)
            marca_[abaixo][cuidadoso] =
                std::make_unique<fb::Statement>(local_, transLocal_, blocoMarca(abaixo, cuidadoso));
    desmarca_ = std::make_unique<fb::Statement>(
        local_, transLocal_, QStringLiteral("update REFEICAO set EXPORTADOEM = null where ID = :ID"));
}

void ExportacaoRefeicoes::preparaCentral()
{
    exportar_.reset();
    bloco_.reset();
    // The central write replaces the row the same meal left there before.
    QStringList valores{QStringLiteral(":CNPJ")};
    for (int i = 0; i < NumColunas; ++i)
        valores << u':' + colunaCentral(i);
    exportar_ = std::make_unique<fb::Statement>(
        central_, transCentral_,
        QStringLiteral("update or insert into REFEICAO (%1) values (%2) "
                       "matching (%3)")
            .arg(listaCentral(), valores.join(QStringLiteral(", ")), QString::fromLatin1(identidadeCentral)));
    bloco_ = preparaBloco();
    // Every row sent sets fifteen parameters: found by name once.
    posicoesUma_.clear();
    posicoesBloco_.clear();
    for (int c = 0; c < NumColunas; ++c)
        posicoesUma_ << exportar_->parameterIndex(colunaCentral(c));
    for (int l = 0; l < BlocoCentral; ++l)
        for (int c = 0; c < NumColunas; ++c)
            posicoesBloco_ << bloco_->parameterIndex(nomeNoBloco(c, l));
}

// The central connection, attached again when it was lost; its transaction started. A loss found
// only now (the server dropped the connection while the screen was idle) is mended once too.
void ExportacaoRefeicoes::garanteCentral()
{
    for (;;) {
        try {
            if (!central_.isValid() || central_.isLost()) {
                if (!reconectaCentral) throw fb::Error(QStringLiteral("Sem conexão com o banco central"));
                exportar_.reset();
                bloco_.reset();
                transCentral_ = fb::Transaction();
                reconectaCentral();
            }
            if (!transCentral_.isActive()) transCentral_.start(central_);
            if (!exportar_) preparaCentral();
            return;
        } catch (const fb::Error&) {
            if (!central_.isLost() || !reconectaCentral || reconectou_) throw;
            reconectou_ = true;
        }
    }
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
        corpo += QStringLiteral("update or insert into REFEICAO (%1) values (%2) matching (%3);\n")
                     .arg(colunas, valores.join(u','), QString::fromLatin1(identidadeCentral));
    }
    return std::make_unique<fb::Statement>(
        central_, transCentral_,
        QStringLiteral("execute block (%1)\nas\nbegin\n%2end").arg(entradas.join(QStringLiteral(",\n")), corpo));
}

void ExportacaoRefeicoes::preencheLinha(fb::Statement& st, const QVector<int>& posicoes, const Linha& linha,
                                        int linhaNoBloco)
{
    // The second audit group goes only with its user: a meal never changed arrives without it.
    const bool segundoGrupo = !linha[ColunaUser2].isNull();
    const int* p = posicoes.constData() + linhaNoBloco * NumColunas;
    for (int c = 0; c < NumColunas; ++c)
        st.setParameter(p[c], c >= ColunaUser2 && !segundoGrupo ? QVariant() : linha[c]);
}

void ExportacaoRefeicoes::enviaBloco(const QVector<Linha>& lote, int inicio)
{
    bloco_->setParameter(QStringLiteral("PC"), cnpj_);
    for (int l = 0; l < BlocoCentral; ++l)
        preencheLinha(*bloco_, posicoesBloco_, lote[inicio + l], l);
    bloco_->execute();
}

void ExportacaoRefeicoes::enviaUma(const Linha& linha)
{
    exportar_->setParameter(QStringLiteral("CNPJ"), cnpj_);
    preencheLinha(*exportar_, posicoesUma_, linha, 0);
    exportar_->execute();
}

namespace {

// The central server's refusal in words the operator can act on.
QString motivoCentral(const fb::Error& e)
{
    if (e.isConnectionLost()) return QStringLiteral("Sem conexão com o banco central.\n") + e.message();
    if (e.message().contains(QStringLiteral("UX_REFEICAO_ORIGEM")))
        return QStringLiteral("O banco central ainda não foi atualizado para guardar lado a lado refeições de mesmo "
                              "CNPJ e código local (comedal-upgradedb BANCO central).\n") +
               e.message();
    return e.message();
}

} // namespace

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
            } catch (const fb::Error& e) {
                if (central_.isLost()) {
                    erro = motivoCentral(e);
                    return feitas;
                }
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
                erro = motivoCentral(e);
                return feitas;
            }
        }
    }
    return feitas;
}

int ExportacaoRefeicoes::enviaLote(const QVector<Linha>& lote, QString& erro)
{
    for (;;) {
        QString motivo;
        int enviadas = 0;
        try {
            garanteCentral();
            enviadas = envia(lote, motivo);
            if (enviadas > 0) transCentral_.commit();
        } catch (const fb::Error& e) {
            motivo = motivoCentral(e);
            enviadas = 0; // not committed: nothing of this batch is stored centrally
        }
        if (central_.isLost() && reconectaCentral && !reconectou_) {
            // The central transaction went with its connection: the whole batch again, on a new one.
            // A commit that reached the server before the loss only makes the rows replace themselves.
            reconectou_ = true;
            transCentral_ = fb::Transaction();
            continue;
        }
        if (transCentral_.isActive() && enviadas == 0) transCentral_.rollback();
        erro = motivo;
        return enviadas;
    }
}

qint64 ExportacaoRefeicoes::contaPendentes()
{
    conta_->execute();
    const qint64 n = conta_->fetch() ? conta_->value(0).toLongLong() : 0;
    conta_->close();
    return n;
}

ExportacaoRefeicoes::Lote ExportacaoRefeicoes::marcaLote(const std::optional<double>& abaixoDe,
                                                         const QDateTime& momento)
{
    for (int cuidadoso = 0;; ++cuidadoso) {
        fb::Statement& st = *marca_[abaixoDe ? 1 : 0][cuidadoso];
        st.setParameter(QStringLiteral("QUANTAS"), tamanhoLote_);
        st.setParameter(QStringLiteral("MOMENTO"), momento);
        if (abaixoDe) st.setParameter(QStringLiteral("ABAIXO"), *abaixoDe);
        Lote lote;
        lote.linhas.reserve(tamanhoLote_);
        try {
            st.execute();
            while (st.fetch()) {
                const QVector<QVariant>& r = st.row();
                lote.menor = r[0].toDouble();
                if (r[NumColunas].toInt() == 1)
                    lote.presas << r[0].toDouble();
                else
                    lote.linhas.push_back(r.mid(0, NumColunas));
            }
            st.close();
        } catch (const fb::Error& e) {
            st.close();
            if (cuidadoso || !e.isLockConflict()) throw;
            // A meal held elsewhere stopped the quick block, maybe after it had marked others: the
            // batch's transaction holds nothing else yet, so it is undone whole and the batch goes
            // again, meal by meal.
            transLocal_.rollback();
            transLocal_.start(local_);
            continue;
        }
        return lote;
    }
}

void ExportacaoRefeicoes::desmarca(const QVector<Linha>& linhas, int desde)
{
    for (int i = desde; i < linhas.size(); ++i) {
        desmarca_->setParameter(QStringLiteral("ID"), linhas[i][0]);
        desmarca_->execute();
    }
}

ExportacaoRefeicoes::Resultado ExportacaoRefeicoes::executa(const QString& cnpj, ProgressoExportacao* progresso)
{
    Resultado r;
    // Without it every central row would be refused (or, blank, stored under no company); with the
    // placeholder every restaurant that kept it would write into the same rows.
    r.erro = recusaCnpj(cnpj);
    if (!r.erro.isEmpty()) return r;
    cnpj_ = cnpj;
    reconectou_ = false;

    struct Fim
    {
        ProgressoExportacao* p;
        ~Fim()
        {
            if (p) p->fim();
        }
    } fim{nullptr};

    QSet<double> presas;
    try {
        // One run per restaurant at a time: the company row is held until the run ends. A run of
        // another workstation that has just ended (or died) gets a moment to let it go.
        trava_ = fb::Transaction(local_, esperaTrava_);
        try {
            fb::Statement empresa(local_, trava_, QStringLiteral("select ID from EMPRESAS with lock"));
            empresa.execute();
            while (empresa.fetch()) {
            }
        } catch (const fb::Error& e) {
            if (!e.isLockConflict()) throw;
            r.erro = outraEstacaoExportando();
            return r;
        }
        transLocal_.start(local_);
        if (!desmarca_) preparaLocal();
        try {
            garanteCentral();
        } catch (const fb::Error& e) {
            throw fb::Error(motivoCentral(e), e.codes());
        }

        qint64 total = contaPendentes();
        if (progresso) {
            progresso->inicio(total);
            fim.p = progresso;
        }
        std::optional<double> abaixoDe;
        qint64 nestaPassagem = 0;
        for (;;) {
            if (!transLocal_.isActive()) transLocal_.start(local_);
            const Lote lote = marcaLote(abaixoDe, agora());
            for (double id : lote.presas)
                presas.insert(id);
            if (!lote.menor) {
                transLocal_.commit();
                // Down to the oldest: once more from the top for meals stored (or let go) during the run.
                if (!abaixoDe || nestaPassagem == 0) break;
                abaixoDe.reset();
                nestaPassagem = 0;
                transLocal_.start(local_);
                total = r.exportadas + contaPendentes();
                continue;
            }
            abaixoDe = lote.menor;

            const int enviadas = lote.linhas.isEmpty() ? 0 : enviaLote(lote.linhas, r.erro);
            try {
                if (enviadas < lote.linhas.size()) desmarca(lote.linhas, enviadas);
                if (enviadas > 0 && aposEnvioCentral) aposEnvioCentral();
                transLocal_.commit();
            } catch (const fb::Error& e) {
                // The central rows stay: marked by a later run, they replace themselves.
                if (r.erro.isEmpty()) r.erro = e.message();
                break;
            }
            r.exportadas += enviadas;
            nestaPassagem += enviadas;
            if (!r.erro.isEmpty()) break;
            if (progresso && !progresso->lote(r.exportadas, qMax<qint64>(0, total - r.exportadas))) {
                r.interrompida = true;
                break;
            }
        }
    } catch (const fb::Error& e) {
        r.erro = e.message();
    }
    // Whatever is still open was not finished: undone on both sides.
    for (fb::Transaction* t : {&transLocal_, &transCentral_, &trava_}) {
        try {
            t->rollback();
        } catch (const fb::Error&) {
        }
    }
    if (r.erro.isEmpty() && !r.interrompida && !presas.isEmpty()) {
        r.erro =
            presas.size() == 1
                ? QStringLiteral("1 refeição está sendo alterada em outra estação e fica para a próxima exportação.")
                : QStringLiteral("%1 refeições estão sendo alteradas em outra estação e ficam para a próxima "
                                 "exportação.")
                      .arg(presas.size());
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
    : QWidget(parent), externo(fb::Attachment::attach(central)), central_(central)
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
    aplicaDireitoIncluir(this, SpeedButton1, QStringLiteral("Sincronizar Dados")); // only under DireitosEmTodasAsTelas

    Refeicao->open();
}

TSincronizar::~TSincronizar() = default;

void TSincronizar::reconecta()
{
    TransExterno = fb::Transaction(); // the old one goes with its connection; its errors do not matter
    externo = fb::Attachment::attach(central_);
    if (exportando_) TransExterno.start(externo);
}

void TSincronizar::SpeedButton1Click()
{
    if (exportando_ || !SpeedButton1->isEnabled()) return;
    exportando_ = true;
    struct Fim
    {
        bool& f;
        ~Fim() { f = false; }
    } fim{exportando_};
    // The central transaction lasts only as long as the run: held while the screen waits, it would
    // keep the central server, which every restaurant shares, from cleaning up old row versions.
    struct FimCentral
    {
        fb::Transaction& t;
        ~FimCentral()
        {
            try {
                if (t.isActive()) t.commit();
            } catch (const fb::Error&) {
            }
            t = fb::Transaction(); // lost with its connection: only forgotten
        }
    } fimCentral{TransExterno};
    try {
        if (externo.isValid() && !externo.isLost()) TransExterno.start(externo);
    } catch (const fb::Error&) {
        // A connection dropped meanwhile: the run attaches again (and starts it) or says why not.
    }

    Refeicao->close();
    Refeicao->open();
    // The company as stored now: the installer may have entered the restaurant's CNPJ since the
    // program started. A company being changed on its screen is left as it is shown.
    if (!Dados->Empresas->active())
        Dados->Empresas->open();
    else if (!Dados->Empresas->isEditing())
        Dados->Empresas->refresh();
    const QString cnpj =
        Dados->Empresas->isEmpty() ? QString() : Dados->Empresas->field(QStringLiteral("CNPJ")).asString();

    ExportacaoRefeicoes exportacao(Dados->fatura, externo);
    exportacao.setTamanhoLote(tamanhoLote_);
    // The screen stays open for the whole session: the central server may have been restarted
    // since, or drop the connection in the middle of a run.
    exportacao.reconectaCentral = [this] { reconecta(); };

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
