#include "weighing/xPessagem.h"

#include "common/global.h"
#include "common/parametros.h"
#include "common/ui/cores.h"
#include "common/ui/dbedit.h"
#include "common/ui/dbgrid.h"
#include "common/ui/dbmemo.h"
#include "common/ui/direitostela.h"
#include "common/ui/ligacaocampo.h"
#include "common/ui/relatorioerro.h"
#include "common/ui/telacadastro.h"
#include "common/ui/visual.h"
#include "data/arquivos.h"
#include "weighing/balanca.h"
#include "weighing/xCupon.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

namespace {

const QString avisoSemConsumidor = QStringLiteral("Atenção!\nNão foi encontrado nenhum cliente utilizando este C.P.F.");

// Tabs 40 pixels high.
class BarraAbas : public QTabBar
{
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize s = QTabBar::tabSizeHint(index);
        s.setHeight(40);
        s.setWidth(s.width() + 24);
        return s;
    }
};

class Abas : public QTabWidget
{
public:
    explicit Abas(QWidget* parent) : QTabWidget(parent) { setTabBar(new BarraAbas(this)); }
};

void pintaFundo(QWidget* w, const QColor& cor, QPalette::ColorRole papel = QPalette::Base)
{
    QPalette p = w->palette();
    p.setColor(papel, cor);
    w->setPalette(p);
    if (papel == QPalette::Window) w->setAutoFillBackground(true);
}

// A caption over its box.
QWidget* comLegenda(const QString& texto, QWidget* caixa, QWidget* pai)
{
    return visual::comLegendaAcima(pai, visual::legenda(pai, texto, caixa), caixa);
}

QPushButton* botaoFigura(const char* nome, const QString& dica, QWidget* pai, int largura = 41)
{
    auto* b = new QPushButton(pai);
    b->setObjectName(QString::fromLatin1(nome));
    b->setFixedSize(largura, 40);
    if (!dica.isEmpty()) defineDica(b, dica);
    return b;
}

qint64 chaveInteira(const Field& f)
{
    return qint64(std::llround(f.asFloat()));
}

// The export mark as stored now: the export (at another workstation) may have marked the meal
// since this screen read it.
bool exportadaNoBanco(const QVariant& id)
{
    fb::Statement consulta(Dados->fatura, Dados->TransFatura,
                           QStringLiteral("select EXPORTADOEM from REFEICAO where ID = :ID"));
    consulta.setParameter(QStringLiteral("ID"), id);
    consulta.execute();
    const bool exportada = consulta.fetch() && !consulta.value(0).isNull();
    consulta.close();
    return exportada;
}

} // namespace

TPessagem::TPessagem(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Pessagem"));
    setWindowTitle(QStringLiteral("Pessagem"));

    Refeicao = new Dataset(QStringLiteral("Refeicao"), &Dados->fatura, &Dados->TransFatura, this);
    Refeicao->setSQL(
        {QStringLiteral("select * from REFEICAO"), QStringLiteral("WHERE ID>0"), QStringLiteral("ORDER BY ID DESC")});
    // EXPORTADOEM belongs to the export alone: it is read here but never written. A change writes
    // only the columns changed here, so another counter's change to other columns of the meal is
    // kept; the key the database gave is never rewritten.
    Refeicao->setTabela(QStringLiteral("REFEICAO"), QStringLiteral("ID"), true,
                        {QStringLiteral("ID"), QStringLiteral("EXPORTADOEM")});

    // The key comes from GEN_REFEICAO on insert, so it is not asked for.
    Refeicao->field(QStringLiteral("ID")).setRequired(false);
    Field& cpf = Refeicao->field(QStringLiteral("CPF"));
    cpf.setDisplayLabel(QStringLiteral("C.P.F."));
    cpf.setRequired(true);
    cpf.setEditMask(QStringLiteral("!999\\.999\\.999\\-99;0;_"));
    cpf.onValidate = [this](Field& f) { RefeicaoCPFValidate(f); };
    Field& data = Refeicao->field(QStringLiteral("DATA"));
    data.setDisplayLabel(QStringLiteral("Data"));
    data.setRequired(true);
    data.setDisplayFormat(QStringLiteral("dd/mm/yyyy"));
    data.setEditMask(QStringLiteral("!99/99/9900;1;_"));
    Field& hora = Refeicao->field(QStringLiteral("HORA"));
    hora.setDisplayLabel(QStringLiteral("Hora"));
    hora.setRequired(true);
    hora.setDisplayFormat(QStringLiteral("hh:mm"));
    Refeicao->field(QStringLiteral("PESO")).setRequired(true);
    Refeicao->field(QStringLiteral("EXPORTADOEM")).setDisplayFormat(QStringLiteral("dd/mm/yyyy hh:mm"));
    Refeicao->field(QStringLiteral("OBSERVACAO")).setDisplayLabel(QStringLiteral("Observação"));

    Refeicao->afterInsert = [this](Dataset& d) { RefeicaoAfterInsert(d); };
    Refeicao->beforeEdit = [this](Dataset& d) { RefeicaoBeforeEdit(d); };
    Refeicao->afterEdit = [this](Dataset& d) { RefeicaoAfterEdit(d); };
    Refeicao->beforePost = [this](Dataset& d) {
        novaRefeicao_ = d.state() == EstadoDataset::Insert;
        if (d.state() == EstadoDataset::Edit && exportadaNoBanco(d.field(QStringLiteral("ID")).oldValue())) {
            simples(QStringLiteral("Registro já foi Exportado impossivel modificar"));
            throw Abort();
        }
    };
    Refeicao->beforeDelete = [this](Dataset& d) { RefeicaoBeforeDelete(d); };
    Refeicao->afterPost = [this](Dataset& d) { RefeicaoAfterPost(d); };
    Refeicao->afterDelete = [this](Dataset& d) {
        novaRefeicao_ = false;
        RefeicaoAfterPost(d);
    };

    montaTela();

    connect(Refeicao, &Dataset::recordChanged, this, &TPessagem::DataSourceDataChange);
    connect(Refeicao, &Dataset::fieldChanged, this, &TPessagem::DataSourceDataChange);

    mostraCupom = [](TCupom& c) { c.Preview(); };

    FormCreate();
}

TPessagem::~TPessagem() = default;

TCupom* TPessagem::cupom() const
{
    return Cupom_;
}

QString TPessagem::portaBalanca() const
{
    return portaBalanca_.isEmpty() ? Balanca::portaPadrao() : portaBalanca_;
}

// ---------------------------------------------------------------- layout

void TPessagem::montaTela()
{
    auto* principal = new QVBoxLayout(this);
    principal->setContentsMargins(0, 0, 0, 0);

    PageControl1 = new Abas(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    principal->addWidget(PageControl1);

    // ---- tab "Registro"
    Tela1 = new QWidget;
    Tela1->setObjectName(QStringLiteral("Tela1"));
    PageControl1->addTab(Tela1, QStringLiteral("Registro"));
    auto* registro = new QVBoxLayout(Tela1);
    registro->setContentsMargins(0, 0, 0, 0);
    registro->setSpacing(0);

    auto* PanelTopo = new QFrame(Tela1);
    PanelTopo->setObjectName(QStringLiteral("PanelTopo"));
    PanelTopo->setFixedHeight(26);
    pintaFundo(PanelTopo, cor::faixaTopo, QPalette::Window);
    auto* topo = new QHBoxLayout(PanelTopo);
    topo->setContentsMargins(6, 2, 6, 2);
    topo->setSpacing(6);
    w_ID = new DBEdit(PanelTopo);
    w_ID->setObjectName(QStringLiteral("w_ID"));
    w_ID->setFixedWidth(90);
    w_ID->setFocusPolicy(Qt::ClickFocus);
    w_ID->setSomenteLeitura(true);
    pintaFundo(w_ID, cor::caixaCodigo);
    w_ID->liga(Refeicao, QStringLiteral("ID"));
    auto* rotuloCodigo = visual::legenda(PanelTopo, QStringLiteral("Codigo"), w_ID);
    QFont fonteCodigo(QStringLiteral("Arial"));
    fonteCodigo.setBold(true);
    rotuloCodigo->setFont(fonteCodigo);
    pintaFundo(rotuloCodigo, Qt::white, QPalette::WindowText);
    BotaoCodigo = new QToolButton(PanelTopo);
    BotaoCodigo->setObjectName(QStringLiteral("BotaoCodigo"));
    BotaoCodigo->setAutoRaise(true);
    BotaoCodigo->setFocusPolicy(Qt::NoFocus);
    BotaoCodigo->setFixedSize(24, 22);
    BotaoCodigo->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    defineDica(BotaoCodigo, QStringLiteral("Busca pelo Codigo - F6"));
    topo->addWidget(rotuloCodigo);
    topo->addWidget(w_ID);
    topo->addWidget(BotaoCodigo);
    topo->addStretch(1);
    registro->addWidget(PanelTopo);

    auto* campos = new QFrame(Tela1);
    campos->setObjectName(QStringLiteral("PanelCampos"));
    pintaFundo(campos, Qt::white, QPalette::Window);
    auto* grade = new QGridLayout(campos);
    grade->setContentsMargins(12, 10, 12, 10);
    grade->setHorizontalSpacing(12);
    grade->setVerticalSpacing(8);

    // Typing into a browsed meal opens it for change; the Tab key passes over the boxes.
    auto caixa = [&](const char* nome, const char* coluna, bool editavel, int largura) {
        auto* e = new DBEdit(campos);
        e->setObjectName(QString::fromLatin1(nome));
        e->setFocusPolicy(Qt::ClickFocus);
        if (largura > 0) e->setFixedWidth(largura);
        pintaFundo(e, editavel ? cor::caixaCodigo : cor::caixaNaoEditavel);
        if (editavel)
            e->setEditaAoDigitar(true);
        else
            e->setSomenteLeitura(true);
        e->liga(Refeicao, QString::fromLatin1(coluna));
        return e;
    };
    w_CPF = caixa("w_CPF", "CPF", true, 130);
    // A refused CPF stays typed, to be corrected by one digit.
    w_CPF->ligacao()->setMantemRecusado(true);
    w_Nome = new QLabel(campos);
    w_Nome->setObjectName(QStringLiteral("w_Nome"));
    QFont fonteNome = w_Nome->font();
    fonteNome.setBold(true);
    fonteNome.setPointSizeF(fonteNome.pointSizeF() * 1.2);
    w_Nome->setFont(fonteNome);
    w_Data = caixa("w_Data", "DATA", true, 100);
    w_Hora = caixa("w_Hora", "HORA", true, 70);
    w_Peso = caixa("w_Peso", "PESO", false, 100);
    w_ExportadoEm = caixa("w_ExportadoEm", "EXPORTADOEM", false, 130);
    w_Observacao = new DBMemo(campos);
    w_Observacao->setObjectName(QStringLiteral("w_Observacao"));
    w_Observacao->setEditaAoDigitar(true);
    w_Observacao->setTabChangesFocus(true);
    pintaFundo(w_Observacao, cor::caixaCodigo);
    w_Observacao->liga(Refeicao, QStringLiteral("OBSERVACAO"));

    auto* linhaCpf = new QHBoxLayout;
    linhaCpf->setSpacing(12);
    linhaCpf->addWidget(comLegenda(QStringLiteral("C.P.F."), w_CPF, campos));
    linhaCpf->addWidget(w_Nome, 0, Qt::AlignBottom);
    w_DiaConsumidor = new QLabel(campos);
    w_DiaConsumidor->setObjectName(QStringLiteral("w_DiaConsumidor"));
    QFont fonteDia = w_DiaConsumidor->font();
    fonteDia.setPointSizeF(fonteDia.pointSizeF() * 1.1);
    w_DiaConsumidor->setFont(fonteDia);
    linhaCpf->addWidget(w_DiaConsumidor, 1, Qt::AlignBottom);
    grade->addLayout(linhaCpf, 0, 0, 1, 5);
    grade->addWidget(comLegenda(QStringLiteral("Data"), w_Data, campos), 1, 0);
    grade->addWidget(comLegenda(QStringLiteral("Hora"), w_Hora, campos), 1, 1);
    grade->addWidget(comLegenda(QStringLiteral("Peso"), w_Peso, campos), 1, 2);
    grade->addWidget(comLegenda(QStringLiteral("Exportado em"), w_ExportadoEm, campos), 1, 3);
    grade->setColumnStretch(4, 1);
    grade->addWidget(visual::legenda(campos, QStringLiteral("Observação"), w_Observacao), 2, 0, 1, 5);
    grade->addWidget(w_Observacao, 3, 0, 1, 5);
    grade->setRowStretch(3, 1);
    registro->addWidget(campos, 1);

    BotaoPesar = new QPushButton(QStringLiteral("Pesar"), Tela1);
    BotaoPesar->setObjectName(QStringLiteral("BotaoPesar"));
    BotaoPesar->setFixedHeight(97);
    BotaoPesar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QFont fontePesar = BotaoPesar->font();
    fontePesar.setPixelSize(19);
    fontePesar.setBold(true);
    BotaoPesar->setFont(fontePesar);
    registro->addWidget(BotaoPesar);

    // The scale's last word: the exchange's log is kept out of sight.
    StatusBalanca = new QLabel(Tela1);
    StatusBalanca->setObjectName(QStringLiteral("StatusBalanca"));
    StatusBalanca->setAlignment(Qt::AlignCenter);
    StatusBalanca->setFixedHeight(24);
    QFont fonteStatus = StatusBalanca->font();
    fonteStatus.setPixelSize(15);
    fonteStatus.setBold(true);
    StatusBalanca->setFont(fonteStatus);
    registro->addWidget(StatusBalanca);

    auto* PanelBottom = new QFrame(Tela1);
    PanelBottom->setObjectName(QStringLiteral("PanelBottom"));
    PanelBottom->setFixedHeight(62);
    PanelBottom->setFrameShape(QFrame::StyledPanel);
    auto* barra = new QHBoxLayout(PanelBottom);
    barra->setContentsMargins(6, 2, 6, 2);
    barra->setSpacing(16);
    auto coluna = [&](QLabel* titulo, const QList<QPushButton*>& botoes) {
        auto* c = new QVBoxLayout;
        c->setSpacing(1);
        c->addWidget(titulo);
        auto* linha = new QHBoxLayout;
        linha->setSpacing(0);
        for (QPushButton* b : botoes)
            linha->addWidget(b);
        linha->addStretch(1);
        c->addLayout(linha);
        barra->addLayout(c);
    };
    auto titulo = [&](const QString& texto) {
        auto* l = new QLabel(texto, PanelBottom);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        return l;
    };

    Estado = new QLabel(QStringLiteral("Navegando..."), PanelBottom);
    Estado->setObjectName(QStringLiteral("Estado"));
    QFont fonteEstado(QStringLiteral("Arial Rounded MT Bold"));
    fonteEstado.setBold(true);
    Estado->setFont(fonteEstado);
    pintaFundo(Estado, cor::azulMarinho, QPalette::WindowText);
    Button1 = botaoFigura("Button1", QStringLiteral("Primeiro Registro-Ctrl+Down"), PanelBottom);
    Button2 = botaoFigura("Button2", QStringLiteral("Registro Anterior-Ctrl+Left"), PanelBottom);
    Button3 = botaoFigura("Button3", QStringLiteral("Proximo Registro-Ctrl+Right"), PanelBottom);
    Button4 = botaoFigura("Button4", QStringLiteral("Ultimo Registro-Ctrl+Up"), PanelBottom);
    Incluir = botaoFigura("Incluir", QStringLiteral("Incluir"), PanelBottom);
    Alterar = botaoFigura("Alterar", QStringLiteral("Alterar"), PanelBottom);
    Excluir = botaoFigura("Excluir", QStringLiteral("Excluir"), PanelBottom);
    Confirmar = botaoFigura("Confirmar", QString(), PanelBottom);
    NaoConfirmar = botaoFigura("NaoConfirmar", QString(), PanelBottom);
    Imprimir = botaoFigura("Imprimir", QStringLiteral("Imprimir"), PanelBottom, 113);
    coluna(Estado, {Button1, Button2, Button3, Button4});
    coluna(titulo(QStringLiteral("Ação")), {Incluir, Alterar, Excluir});
    coluna(titulo(QStringLiteral("Confirmação")), {Confirmar, NaoConfirmar});
    coluna(titulo(QStringLiteral("Imprimindo...")), {Imprimir});
    barra->addStretch(1);
    registro->addWidget(PanelBottom);

    // ---- tab "Listagem"
    TabListagem = new QWidget;
    TabListagem->setObjectName(QStringLiteral("TabListagem"));
    PageControl1->addTab(TabListagem, QStringLiteral("Listagem"));
    auto* listagem = new QVBoxLayout(TabListagem);
    listagem->setContentsMargins(0, 0, 0, 0);
    DBGrid1 = new DBGrid(TabListagem);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    struct Coluna
    {
        const char* nome;
        int largura;
    };
    const Coluna colunas[] = {{"ID", -1},        {"CPF", -1},  {"NOME", 238},       {"DATA", -1},
                              {"HORA", -1},      {"PESO", -1}, {"OBSERVACAO", 250}, {"USER1", -1},
                              {"DATAUSER1", -1}, {"IP1", -1},  {"VERSAO1", -1},     {"USER2", -1},
                              {"DATAUSER2", -1}, {"IP2", -1},  {"VERSAO2", -1}};
    for (const Coluna& c : colunas)
        DBGrid1->adicionaColuna(QString::fromLatin1(c.nome), QString::fromLatin1(c.nome), c.largura);
    DBGrid1->setZebra(true);
    // About a screenful per read: each row costs a lookup of its consumer's name.
    DBGrid1->modelo()->setLote(40);
    DBGrid1->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; border: 1px solid #7A96B4; padding: 2px; }")
            .arg(cor::azulCeu.name()));
    DBGrid1->liga(Dados->Refeicao);
    listagem->addWidget(DBGrid1);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, [this] { protegido([this] { DBGrid1DblClick(); }); });

    // ---- tab "Log de Pessagem": the lines stay in the memo, which is not shown
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Log de Pessagem"));
    auto* log = new QVBoxLayout(TabSheet1);
    log->setContentsMargins(0, 0, 0, 0);
    Memo1 = new QPlainTextEdit(TabSheet1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVisible(false);
    log->addWidget(Memo1);

    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int i) { protegido([this, i] { PageControl1Change(i); }); });

    // ---- state display: the search and navigation buttons and the actions only while browsing
    tela_ = new TelaCadastro(this, Refeicao);
    tela_->defineNavegacao({BotaoCodigo, Button1, Button2, Button3, Button4});
    tela_->defineAcoes(Incluir, Alterar, Excluir);
    tela_->defineConfirmacao(Confirmar, NaoConfirmar);
    tela_->defineRotuloEstado(Estado);
    tela_->antesDeGravar = [this] { verificaLimiteDoDia(); };
    // The meal just stored is shown (RefeicaoAfterPost) and may go to the printer at once.
    tela_->depoisDeGravar = [this](EstadoDataset antes) {
        if (antes != EstadoDataset::Insert) return;
        if (parametroLigado(QStringLiteral("ImprimirAoConfirmar"))) {
            preparaCupom();
            imprimeDireto();
        }
    };
    tela_->perguntaCancelar = QStringLiteral("Cancelar Atualizações no Registro?");
    tela_->aoCancelar = [this](EstadoDataset antes) {
        if (antes == EstadoDataset::Insert) Refeicao->refresh();
    };
    // An exported meal is never deleted: its mark as stored now decides, shown as stored.
    tela_->antesDeExcluir = [this] {
        if (Refeicao->field(QStringLiteral("EXPORTADOEM")).isNull() &&
            (Refeicao->isEmpty() || !exportadaNoBanco(Refeicao->field(QStringLiteral("ID")).value())))
            return true;
        simples(QStringLiteral("Registro já foi Exportado impossivel Excluir"));
        Refeicao->refresh();
        return false;
    };
    tela_->aoExcluir = [this] {
        MovimentaRegistro(QStringLiteral("ID"), QStringLiteral("GEN_REFEICAO"), *Refeicao, 4, 1);
    };
    aplicaDireitos(tela_, QStringLiteral("Pesagem")); // only under DireitosEmTodasAsTelas

    auto liga = [this](QAbstractButton* b, void (TPessagem::*acao)()) {
        connect(b, &QAbstractButton::clicked, this, [this, acao] { protegido([this, acao] { (this->*acao)(); }); });
    };
    liga(Incluir, &TPessagem::IncluirClick);
    liga(Alterar, &TPessagem::AlterarClick);
    liga(Excluir, &TPessagem::ExcluirClick);
    liga(Confirmar, &TPessagem::ConfirmarClick);
    liga(NaoConfirmar, &TPessagem::NaoConfirmarClick);
    liga(BotaoPesar, &TPessagem::BotaoPesarClick);
    liga(BotaoCodigo, &TPessagem::BotaoCodigoClick);
    liga(Imprimir, &TPessagem::ImprimirClick);
    Imprimir->installEventFilter(this);
    int tag = 0;
    for (QPushButton* b : {Button1, Button2, Button3, Button4}) {
        b->setProperty("Tag", ++tag);
        connect(b, &QAbstractButton::clicked, this,
                [this, b] { protegido([this, b] { Button1Click(b->property("Tag").toInt()); }); });
    }
}

bool TPessagem::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == Imprimir &&
        (evento->type() == QEvent::MouseButtonPress || evento->type() == QEvent::MouseButtonRelease))
        shiftNoImprimir_ = static_cast<QMouseEvent*>(evento)->modifiers() & Qt::ShiftModifier;
    return QWidget::eventFilter(objeto, evento);
}

void TPessagem::FormCreate()
{
    ImagensBotoes(Button1, Button2, Button3, Button4, Incluir, Alterar, Excluir, Confirmar, NaoConfirmar);
    CarregaFigura(Imprimir, QStringLiteral("print2.bmp"));
    // All meals, newest first: the screen opens on the most recent one.
    Refeicao->open();
}

// ---------------------------------------------------------------- dataset rules

void TPessagem::preencheAuditoria(const QString& grupo)
{
    // The logged-in user. The shared user list follows the user registry's browsing, so its
    // current row is only the fallback for a session without a login.
    QVariant usuario;
    if (!sessao().UsuarioEmUso.trimmed().isEmpty()) {
        bool ok = false;
        const int id = sessao().UsuarioEmUso.trimmed().toInt(&ok);
        if (ok) usuario = id;
    } else if (Dados->Usuarios->active() && !Dados->Usuarios->isEmpty()) {
        usuario = Dados->Usuarios->value(QStringLiteral("ID"));
    }
    const QDateTime momento = agora();
    Refeicao->field(QStringLiteral("USER") + grupo).setValue(usuario);
    Refeicao->field(QStringLiteral("DATAUSER") + grupo).setValue(momento);
    Refeicao->field(QStringLiteral("IP") + grupo).setValue(Dados->IpSistemaCentral.left(16));
    Refeicao->field(QStringLiteral("VERSAO") + grupo).setValue(Dados->VersaoSistemaCentral);
}

void TPessagem::RefeicaoAfterInsert(Dataset& DataSet)
{
    // The moment the meal is started, not the weighing; both stay editable.
    const QDateTime momento = agora();
    DataSet.field(QStringLiteral("DATA")).setValue(momento.date());
    const QTime t = momento.time();
    DataSet.field(QStringLiteral("HORA")).setValue(QTime(t.hour(), t.minute(), t.second()));
    preencheAuditoria(QStringLiteral("1"));
}

void TPessagem::RefeicaoBeforeEdit(Dataset& DataSet)
{
    const bool marcadaNaTela = !DataSet.field(QStringLiteral("EXPORTADOEM")).isNull();
    if (!marcadaNaTela && !exportadaNoBanco(DataSet.field(QStringLiteral("ID")).value())) return;
    if (!marcadaNaTela) DataSet.refresh(); // the mark shown as stored
    simples(QStringLiteral("Registro já foi Exportado impossivel modificar"));
    throw Abort();
}

void TPessagem::RefeicaoAfterEdit(Dataset&)
{
    preencheAuditoria(QStringLiteral("2"));
}

void TPessagem::RefeicaoBeforeDelete(Dataset& DataSet)
{
    if (!DataSet.field(QStringLiteral("EXPORTADOEM")).isNull()) {
        simples(QStringLiteral("Registro já foi Exportado impossivel Excluir"));
        DataSet.cancel();
        throw Abort();
    }
}

void TPessagem::RefeicaoAfterPost(Dataset& DataSet)
{
    Dados->TransFatura.commitRetaining();
    // A new meal is shown by the key the database gave it: the newest meal may already be another
    // counter's.
    if (std::exchange(novaRefeicao_, false)) {
        selecionaChave(DataSet.chaveInserida());
        return;
    }
    const int Marcador = DataSet.bookmark();
    DataSet.close();
    DataSet.open();
    DataSet.gotoBookmark(Marcador);
}

bool TPessagem::buscaConsumidor(const QString& cpf, QString& nome)
{
    if (ultimoConsumidor_ && ultimoConsumidor_->cpf == cpf) {
        nome = ultimoConsumidor_->nome;
        return ultimoConsumidor_->achou;
    }
    fb::Statement consulta(Dados->fatura, Dados->TransFatura,
                           QStringLiteral("SELECT ID, NOME FROM CLIENTE\nWHERE CPF=:CPF"));
    consulta.setParameter(QStringLiteral("CPF"), cpf);
    consulta.execute();
    Consumidor c{cpf, QString(), consulta.fetch()};
    if (c.achou) c.nome = consulta.value(1).toString();
    consulta.close();
    nome = c.nome;
    // Kept until the event loop takes over again: the next action sees the register as it is then.
    if (!ultimoConsumidor_) QTimer::singleShot(0, this, [this] { ultimoConsumidor_.reset(); });
    ultimoConsumidor_ = c;
    return c.achou;
}

void TPessagem::RefeicaoCPFValidate(Field& Sender)
{
    if (Sender.isNull()) return;
    // Every blank out, also one left inside by a digit deleted in the middle.
    const QString valor = Sender.asString().remove(u' ');
    if (valor.isEmpty()) return;
    if (valor.size() != 11) {
        avisa(QStringLiteral("Atenção. Deve-se Digitar C.P.F. Valido sem ., / ou - "));
        throw Abort();
    }
    if (!cpf(valor)) {
        erro(QStringLiteral("Número de C.P.F. Invalido."));
        throw Abort();
    }
    QString nome;
    if (!buscaConsumidor(valor, nome)) {
        avisa(avisoSemConsumidor);
        throw Abort();
    }
    // A stored meal is never silently given to another consumer (a forgotten Incluir).
    if (Refeicao->state() == EstadoDataset::Edit) {
        const QString antigo = Sender.oldValue().toString().remove(u' ');
        if (!antigo.isEmpty() && antigo != valor) perguntaTrocaConsumidor(antigo);
    }
    w_Nome->setText(nome);
}

void TPessagem::perguntaTrocaConsumidor(const QString& antigo)
{
    QString nome;
    if (!buscaConsumidor(antigo, nome)) nome = TCupom::formataCpf(antigo);
    if (confirma(QStringLiteral("Esta refeição já está registrada para %1. Trocar o consumidor?").arg(nome))) return;
    Refeicao->cancel(); // the meal as stored
    throw Abort();
}

TPessagem::DiaDoConsumidor TPessagem::diaDoConsumidor(const QString& cpf, const QDate& dia, const QVariant& id)
{
    QString sql = QStringLiteral("select count(*), max(HORA) from REFEICAO where CPF = :CPF and DATA = :DATA");
    if (!id.isNull()) sql += QStringLiteral(" and ID < :ID");
    fb::Statement consulta(Dados->fatura, Dados->TransFatura, sql);
    consulta.setParameter(QStringLiteral("CPF"), cpf);
    consulta.setParameter(QStringLiteral("DATA"), dia);
    if (!id.isNull()) consulta.setParameter(QStringLiteral("ID"), id);
    consulta.executeOne(); // an aggregate: one row, one exchange
    DiaDoConsumidor d;
    d.anteriores = consulta.value(0).toInt();
    d.ultima = consulta.value(1).toTime();
    return d;
}

void TPessagem::mostraDiaDoConsumidor(const QString& cpf)
{
    const Field& data = Refeicao->field(QStringLiteral("DATA"));
    const QDate dia = data.isNull() ? agora().date() : data.value().toDate();
    const QVariant id =
        Refeicao->state() == EstadoDataset::Insert ? QVariant() : Refeicao->field(QStringLiteral("ID")).value();
    const QString chave = cpf + u'|' + id.toString() + u'|' + dia.toString(Qt::ISODate);
    if (chave == diaMostrado_) return;
    // Computed once per action: the next one sees the other counters' meals.
    if (diaMostrado_.isEmpty()) QTimer::singleShot(0, this, [this] { diaMostrado_.clear(); });
    diaMostrado_ = chave;
    const DiaDoConsumidor d = diaDoConsumidor(cpf, dia, id);
    const QString quando = dia == agora().date() ? QStringLiteral("hoje")
                                                 : QStringLiteral("em ") + dia.toString(QStringLiteral("dd/MM/yyyy"));
    if (d.anteriores == 0)
        w_DiaConsumidor->setText(QStringLiteral("1ª refeição %1").arg(quando));
    else
        w_DiaConsumidor->setText(QStringLiteral("%1ª refeição %2 — anterior às %3")
                                     .arg(d.anteriores + 1)
                                     .arg(quando, d.ultima.toString(QStringLiteral("hh:mm"))));
}

void TPessagem::verificaLimiteDoDia()
{
    if (Refeicao->state() != EstadoDataset::Insert) return;
    const int limite = BuscaConfiguracao(QStringLiteral("LimiteRefeicoesDia")).trimmed().toInt();
    const QString cpf = Refeicao->field(QStringLiteral("CPF")).asString().remove(u' ');
    const Field& data = Refeicao->field(QStringLiteral("DATA"));
    if (limite <= 0 || cpf.isEmpty() || data.isNull()) return;
    // As stored now, whatever counter served the consumer.
    const int feitas = diaDoConsumidor(cpf, data.value().toDate(), QVariant()).anteriores;
    if (feitas < limite) return;
    if (!confirma(QStringLiteral("Este consumidor já fez %1 refeição(ões) hoje. Registrar mesmo assim?").arg(feitas)))
        throw Abort();
}

void TPessagem::DataSourceDataChange()
{
    // A slot of the dataset's signals: nothing may escape from here.
    protegido([this] {
        if (!Refeicao->active()) return;
        if (Refeicao->isEmpty()) {
            w_Nome->clear();
            w_DiaConsumidor->clear();
            return;
        }
        const QString cpf = Refeicao->field(QStringLiteral("CPF")).asString().trimmed();
        if (cpf.isEmpty()) {
            w_DiaConsumidor->clear();
            return;
        }
        QString nome;
        if (buscaConsumidor(cpf, nome)) {
            w_Nome->setText(nome);
            mostraDiaDoConsumidor(cpf);
            avisado_.clear();
            return;
        }
        // Another consumer's name must not stay beside this meal.
        w_Nome->clear();
        w_DiaConsumidor->clear();
        const QString chave = Refeicao->field(QStringLiteral("ID")).asString() + u'|' + cpf;
        if (chave == avisado_) return; // already said for this meal
        avisado_ = chave;
        avisa(avisoSemConsumidor);
    });
}

void TPessagem::selecionaChave(const QVariant& chave)
{
    Refeicao->close();
    Refeicao->setLinha(1, QStringLiteral("WHERE ID = :ID"));
    Refeicao->setParametro(QStringLiteral("ID"), chave);
    Refeicao->open();
}

// ---------------------------------------------------------------- actions

void TPessagem::IncluirClick()
{
    if (!Incluir->isEnabled()) return;
    PageControl1->setCurrentWidget(Tela1);
    Refeicao->append();
    // The whole box selected: the first digit typed lands at its start.
    w_CPF->setFocus();
    w_CPF->selectAll();
    w_Nome->clear();
    w_DiaConsumidor->clear();
    StatusBalanca->clear(); // drawn with the rest: no exchange holds the event loop here
}

void TPessagem::AlterarClick()
{
    if (!Alterar->isEnabled()) return;
    Refeicao->edit();
    if (PageControl1->currentWidget() == Tela1) {
        w_CPF->setFocus();
        w_CPF->selectAll();
    }
}

void TPessagem::ExcluirClick()
{
    tela_->excluir();
}

void TPessagem::ConfirmarClick()
{
    tela_->confirmar();
}

void TPessagem::NaoConfirmarClick()
{
    tela_->naoConfirmar();
}

void TPessagem::BotaoPesarClick()
{
    LigacaoCampo::gravaPendentes(Refeicao);
    if (Refeicao->field(QStringLiteral("CPF")).asString().trimmed().isEmpty()) {
        simples(QStringLiteral("Favor preencher primeiro o C.P.F. do consumidor"));
        return;
    }
    // An existing meal is opened for change: the export lock and the "2" audit group apply.
    if (Refeicao->state() == EstadoDataset::Browse) Refeicao->edit();
    if (!Refeicao->isEditing()) return;
    EnviarCtrlELerRespostaCOM3();
}

void TPessagem::mostraBalanca(const QString& texto)
{
    StatusBalanca->setText(texto);
    StatusBalanca->repaint(); // the exchange holds the event loop
}

void TPessagem::EnviarCtrlELerRespostaCOM3()
{
    // EsperaPesoEstavelMs: an unstable scale is asked again every 200 ms for so long; each
    // exchange is a whole one, with its own lines in the log.
    const int esperaMs = std::max(0, BuscaConfiguracao(QStringLiteral("EsperaPesoEstavelMs")).trimmed().toInt());
    constexpr int intervaloMs = 200;
    QElapsedTimer desde;
    desde.start();
    for (;;) {
        Balanca balanca(portaBalanca());
        balanca.setCalaInstavel(esperaMs > 0);
        std::optional<double> PesoLido;
        try {
            PesoLido =
                balanca.EnviarCtrlELerRespostaCOM3([this](const QString& linha) { Memo1->appendPlainText(linha); });
        } catch (...) {
            mostraBalanca(Balanca::textoDoEvento(balanca.evento()));
            throw;
        }
        const Balanca::Evento evento = balanca.evento();
        if (evento == Balanca::Evento::Instavel && esperaMs > 0) {
            if (desde.elapsed() + intervaloMs < esperaMs) {
                mostraBalanca(QStringLiteral("Peso instável: aguardando a balança estabilizar..."));
                QThread::msleep(intervaloMs);
                continue;
            }
            mostraBalanca(Balanca::textoDoEvento(evento));
            simples(Balanca::avisoInstavel());
            return;
        }
        mostraBalanca(Balanca::textoDoEvento(evento, balanca.pesoLido()));
        if (PesoLido) Refeicao->field(QStringLiteral("PESO")).setValue(*PesoLido);
        return;
    }
}

void TPessagem::BotaoCodigoClick()
{
    if (!BotaoCodigo->isEnabled()) return;
    // With no meal shown, going back selects none (key 0) instead of a broken clause.
    const Field* id = Refeicao->active() ? Refeicao->findField(QStringLiteral("ID")) : nullptr;
    const qint64 CodigoAntigo = id && !id->isNull() ? chaveInteira(*id) : 0;
    tela_->irPara([this](qint64 codigo) { selecionaChave(codigo); },
                  [this, CodigoAntigo] { selecionaChave(CodigoAntigo); });
}

void TPessagem::Button1Click(int atitude)
{
    MovimentaRegistro(QStringLiteral("ID"), QStringLiteral("GEN_REFEICAO"), *Refeicao, atitude, 1);
}

void TPessagem::DBGrid1DblClick()
{
    Dataset* lista = Dados->Refeicao;
    if (!lista->active() || lista->isEmpty()) return;
    // Re-selecting would throw away a meal being written.
    if (Refeicao->isEditing()) {
        PageControl1->setCurrentWidget(Tela1);
        simples(QStringLiteral("Confirme ou cancele a refeição em edição antes de abrir outra."));
        return;
    }
    selecionaChave(qint64(std::llround(lista->field(QStringLiteral("ID")).asFloat())));
    PageControl1->setCurrentWidget(Tela1);
}

void TPessagem::PageControl1Change(int index)
{
    // The list always shows what the database holds now.
    if (PageControl1->widget(index) != TabListagem) return;
    Dados->Refeicao->close();
    Dados->Refeicao->open();
}

void TPessagem::ImprimirClick()
{
    // A meal being written has no receipt yet (a new one has no key; a changed one would print
    // what is stored, not what the screen shows).
    if (Refeicao->isEditing()) {
        simples(QStringLiteral("Confirme a refeição antes de imprimir o cupom."));
        return;
    }
    TCupom& cupom = preparaCupom();
    // Shift+click shows the preview even when receipts go straight to the printer.
    const bool previa = std::exchange(shiftNoImprimir_, false);
    if (parametroLigado(QStringLiteral("ImpressaoDireta")) && !previa)
        imprimeDireto();
    else if (mostraCupom)
        mostraCupom(cupom);
}

void TPessagem::imprimeDireto()
{
    try {
        if (!Cupom_->imprimirDireto(BuscaConfiguracao(QStringLiteral("ImpressoraCupom"))))
            simples(QStringLiteral("Não há cupom a imprimir para esta refeição."));
    } catch (const ErroImpressora& e) {
        erro(QStringLiteral("O cupom não foi impresso: %1\nA refeição está gravada; imprima o cupom de novo pelo botão "
                            "Imprimir.")
                 .arg(QString::fromStdString(e.what())));
    }
}

TCupom& TPessagem::preparaCupom()
{
    if (!Cupom_) Cupom_ = new TCupom(Dados->fatura, Dados->TransFatura, this);

    Dataset* empresas = Dados->Empresas;
    if (!empresas->active()) empresas->open();
    DadosEmpresaCupom empresa;
    if (!empresas->isEmpty()) {
        empresa.fantasia = empresas->field(QStringLiteral("FANTASIA")).asString();
        empresa.cnpj = empresas->field(QStringLiteral("CNPJ")).asString();
        empresa.cidade = empresas->field(QStringLiteral("CIDADE")).asString();
    }
    Cupom_->setEmpresa(empresa);

    // A meal not yet confirmed has no key: "WHERE A.ID=0" selects nothing and nothing is printed.
    const Field* id = Refeicao->active() ? Refeicao->findField(QStringLiteral("ID")) : nullptr;
    if (id && !id->isNull()) {
        Cupom_->setLinha(3, QStringLiteral("WHERE A.ID=:ID"));
        Cupom_->setId(id->asFloat());
    } else {
        Cupom_->setLinha(3, QStringLiteral("WHERE A.ID=0"));
    }
    Cupom_->setMascaraCpf(parametroLigado(QStringLiteral("MascararCPFCupom")));
    return *Cupom_;
}
