#include "app/xPrincipal.h"

#include "app/edicaopendente.h"
#include "app/icone.h"
#include "app/menuacessos.h"
#include "app/sessaolog.h"
#include "app/sinais.h"
#include "app/telas.h"
#include "app/xSenha.h"
#include "common/acessos.h"
#include "common/global.h"
#include "common/ui/cores.h"
#include "common/ui/dbcombobox.h"
#include "common/ui/dbedit.h"
#include "common/ui/dbgrid.h"
#include "common/ui/dblookupcombobox.h"
#include "common/ui/dbmemo.h"
#include "common/ui/dbradiogroup.h"
#include "common/ui/relatorioerro.h"
#include "common/ui/telacadastro.h"
#include "common/ui/traducao.h"
#include "data/arquivos.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

TPrincipal* Principal = nullptr;

namespace {

const QColor corBarra{0x1C, 0x79, 0xB0};
const QColor corCeu{0xA6, 0xCA, 0xF0};     // sky blue
const QColor corMarinho{0x00, 0x00, 0x80}; // navy
const QColor corCinza{0x80, 0x80, 0x80};
const QColor corPrata{0xC0, 0xC0, 0xC0};

// The frame of a child screen, closing by the screen's rule. The main window's own end destroys
// the frames without closing them.
class MolduraTela : public QMdiSubWindow
{
public:
    MolduraTela(Tela::Fechamento fechamento, QWidget* pai, Qt::WindowFlags bandeiras)
        : QMdiSubWindow(pai, bandeiras), fechamento_(fechamento)
    {
        if (fechamento == Tela::Fechamento::Destroi) setAttribute(Qt::WA_DeleteOnClose);
    }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        switch (fechamento_) {
        case Tela::Fechamento::Minimiza:
            e->ignore();
            showMinimized();
            return;
        case Tela::Fechamento::SemBotoes:
            e->ignore();
            return;
        case Tela::Fechamento::Destroi:
            break;
        }
        QMdiSubWindow::closeEvent(e); // the screen may still refuse
    }

private:
    Tela::Fechamento fechamento_;
};

QFont fonte(const QString& familia, int pixels, bool negrito)
{
    QFont f(familia);
    f.setPixelSize(pixels);
    f.setBold(negrito);
    return f;
}

void pinta(QWidget* w, const QColor& cor)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, cor);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// The application's font as a font of its own: a widget given it no longer inherits the frame's
// bold Arial.
QFont fontePropria()
{
    QFont f = QApplication::font();
    f.setResolveMask(QFont::AllPropertiesResolved);
    return f;
}

void corDoTexto(QWidget* w, const QColor& cor)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, cor);
    w->setPalette(p);
}

// The pictures of the two top-bar buttons, drawn here rather than read from files.
QIcon figuraCasa()
{
    QPixmap pm(40, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(4, 20), QPointF(20, 5), QPointF(36, 20)}));
    p.drawRect(QRectF(9, 18, 22, 17));
    p.fillRect(QRectF(17, 25, 7, 10), Qt::white);
    return QIcon(pm);
}

QIcon figuraVolta()
{
    QPixmap pm(36, 36);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(30, 18), QPointF(7, 18));
    p.drawPolyline(QPolygonF({QPointF(16, 8), QPointF(6, 18), QPointF(16, 28)}));
    return QIcon(pm);
}

QToolButton* botaoPlano(QWidget* pai, const QString& nome, const QString& dica, const QIcon& figura, QSize tamanho)
{
    auto* b = new QToolButton(pai);
    b->setObjectName(nome);
    b->setAutoRaise(true);
    b->setFixedSize(tamanho);
    b->setIcon(figura);
    b->setIconSize(QSize(tamanho.width() - 10, tamanho.width() - 10));
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::NoFocus);
    // The white pictures stay visible under the mouse.
    b->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"
                                    "QToolButton:hover { background: #3A93C6; }"
                                    "QToolButton:pressed { background: #15618E; }"));
    defineDica(b, dica);
    return b;
}

QAction* entrada(QMenu* menu, const QString& nome, const QString& texto, int tag,
                 const QKeySequence& atalho = QKeySequence())
{
    auto* a = menu->addAction(texto);
    a->setObjectName(nome);
    a->setProperty("Tag", tag);
    if (!atalho.isEmpty()) a->setShortcut(atalho);
    return a;
}

QMenu* submenu(QWidget* pai, const QString& nome, const QString& texto, int tag)
{
    auto* m = new QMenu(texto, pai);
    m->setObjectName(nome);
    m->menuAction()->setObjectName(nome);
    m->menuAction()->setProperty("Tag", tag);
    m->setProperty("Tag", tag);
    return m;
}

// Upper case of the letters a to z only: accented letters keep their case.
QString maiusculasAscii(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - (u'a' - u'A'));
    return r;
}

enum class Edicao { Recortar, Copiar, Colar, SelecionarTudo, Desfazer, Apagar };

// The edit commands act on the text box that has the focus, whatever screen it is on.
void executaEdicao(Edicao op)
{
    QWidget* w = QApplication::focusWidget();
    if (auto* cb = qobject_cast<QComboBox*>(w); cb && cb->lineEdit()) w = cb->lineEdit();
    if (auto* le = qobject_cast<QLineEdit*>(w)) {
        const bool altera = !le->isReadOnly();
        switch (op) {
        case Edicao::Recortar:
            if (altera) le->cut();
            break;
        case Edicao::Copiar:
            le->copy();
            break;
        case Edicao::Colar:
            if (altera) le->paste();
            break;
        case Edicao::SelecionarTudo:
            le->selectAll();
            break;
        case Edicao::Desfazer:
            if (altera) le->undo();
            break;
        case Edicao::Apagar:
            if (altera && le->hasSelectedText()) le->del();
            break;
        }
        return;
    }
    auto texto = [op](auto* ed) {
        const bool altera = !ed->isReadOnly();
        switch (op) {
        case Edicao::Recortar:
            if (altera) ed->cut();
            break;
        case Edicao::Copiar:
            ed->copy();
            break;
        case Edicao::Colar:
            if (altera) ed->paste();
            break;
        case Edicao::SelecionarTudo:
            ed->selectAll();
            break;
        case Edicao::Desfazer:
            if (altera) ed->undo();
            break;
        case Edicao::Apagar:
            if (altera) ed->textCursor().removeSelectedText();
            break;
        }
    };
    if (auto* pt = qobject_cast<QPlainTextEdit*>(w))
        texto(pt);
    else if (auto* te = qobject_cast<QTextEdit*>(w))
        texto(te);
}

} // namespace

// ---- creation

TPrincipal::TPrincipal(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Principal"));
    setWindowTitle(QStringLiteral("Sistema Comedal"));
    setFont(fonte(QStringLiteral("Arial"), 13, true));

    auto* centro = new QWidget(this);
    auto* coluna = new QVBoxLayout(centro);
    coluna->setContentsMargins(0, 0, 0, 0);
    coluna->setSpacing(0);
    setCentralWidget(centro);

    criaBarraAtalho();
    coluna->addWidget(PanelAtalho);

    // The home panel lies over the frame's client area; opening a screen hides it.
    auto* meio = new QWidget(centro);
    auto* pilha = new QGridLayout(meio);
    pilha->setContentsMargins(0, 0, 0, 0);
    AreaTelas = new QMdiArea(meio);
    AreaTelas->setObjectName(QStringLiteral("AreaTelas"));
    AreaTelas->setFont(fontePropria()); // screens keep their own look, not the frame's bold font
    AreaTelas->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    AreaTelas->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    pilha->addWidget(AreaTelas, 0, 0);
    criaPainelPrincipal();
    PanelPrincipal->setParent(meio);
    pilha->addWidget(PanelPrincipal, 0, 0);
    coluna->addWidget(meio, 1);

    criaBarraStatus();
    coluna->addWidget(w_URL);

    criaMenu();
    criaAcoes();

    FormCreate();
    setWindowState(Qt::WindowMaximized);
    if (!Principal) Principal = this;
}

TPrincipal::~TPrincipal()
{
    fechando_ = true;
    if (Principal == this) Principal = nullptr;
}

void TPrincipal::criaBarraAtalho()
{
    PanelAtalho = new QFrame(this);
    PanelAtalho->setObjectName(QStringLiteral("PanelAtalho"));
    PanelAtalho->setFixedHeight(54);
    pinta(PanelAtalho, corBarra);
    auto* linha = new QHBoxLayout(PanelAtalho);
    linha->setContentsMargins(1, 0, 0, 0);
    linha->setSpacing(8);

    Casa = botaoPlano(PanelAtalho, QStringLiteral("Casa"), QStringLiteral("Tela Inicial"), figuraCasa(), {52, 51});
    connect(Casa, &QToolButton::clicked, this, &TPrincipal::CasaClick);
    linha->addWidget(Casa, 0, Qt::AlignVCenter);

    auto* titulos = new QVBoxLayout;
    titulos->setContentsMargins(0, 2, 0, 2);
    titulos->setSpacing(0);
    LabelTopo = new QLabel(QStringLiteral("Sistema de Alimentação Popular"), PanelAtalho);
    LabelTopo->setObjectName(QStringLiteral("LabelTopo"));
    LabelTopo->setFont(fonte(QStringLiteral("Arial"), 24, true));
    corDoTexto(LabelTopo, Qt::white);
    Label1 = new QLabel(linhaFornecedor(), PanelAtalho);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(fonte(QStringLiteral("Times New Roman"), 12, false));
    corDoTexto(Label1, corPrata);
    titulos->addWidget(LabelTopo);
    titulos->addWidget(Label1);
    linha->addLayout(titulos, 1);

    PanelIcones = new QFrame(PanelAtalho);
    PanelIcones->setObjectName(QStringLiteral("PanelIcones"));
    PanelIcones->setFixedSize(295, 54);
    pinta(PanelIcones, corBarra);
    SpeedButton27 = botaoPlano(PanelIcones, QStringLiteral("SpeedButton27"), QStringLiteral("Retorna p/ Tela Anterior"),
                               figuraVolta(), {42, 54});
    SpeedButton27->move(295 - 42, 0);
    connect(SpeedButton27, &QToolButton::clicked, this, &TPrincipal::SpeedButton27Click);
    linha->addWidget(PanelIcones);
}

void TPrincipal::criaBarraStatus()
{
    w_URL = new QFrame(this);
    w_URL->setObjectName(QStringLiteral("w_URL"));
    w_URL->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    w_URL->setFixedHeight(21);
    auto* linha = new QHBoxLayout(w_URL);
    linha->setContentsMargins(4, 0, 4, 0);
    linha->setSpacing(6);
    auto rotulo = [this, linha](const char* nome, const QString& texto) {
        auto* l = new QLabel(texto, w_URL);
        l->setObjectName(QString::fromLatin1(nome));
        linha->addWidget(l);
        return l;
    };
    Label10 = rotulo("Label10", QStringLiteral("Usuário:"));
    w_Usuario = rotulo("w_Usuario", QString());
    w_UsuarioNome = rotulo("w_UsuarioNome", QStringLiteral("Usuário Padrao"));
    w_Arquivos = rotulo("w_Arquivos", QStringLiteral("..."));
    linha->addStretch(1);
    LabelVersao = rotulo("LabelVersao", linhaFornecedor());
    LabelVersao->setFont(fonte(QStringLiteral("Times New Roman"), 11, false));
    corDoTexto(LabelVersao, Qt::black);
}

void TPrincipal::criaPainelPrincipal()
{
    PanelPrincipal = new QFrame(this);
    PanelPrincipal->setObjectName(QStringLiteral("PanelPrincipal"));
    pinta(PanelPrincipal, Qt::white);
    auto* coluna = new QVBoxLayout(PanelPrincipal);
    coluna->setContentsMargins(0, 0, 0, 8);
    coluna->setSpacing(0);

    PanelTopo1 = new QFrame(PanelPrincipal);
    PanelTopo1->setObjectName(QStringLiteral("PanelTopo1"));
    PanelTopo1->setFixedHeight(60);
    pinta(PanelTopo1, corCeu);
    // The title twice, grey a few pixels up and left of the navy one: a shadow.
    const QString modulo = QStringLiteral("Módulo de Alimentação Popular");
    for (const auto& [nome, cor, pos] :
         {std::tuple{"LabelSombra", corCinza, QPoint(6, 4)}, std::tuple{"LabelModulo", corMarinho, QPoint(9, 5)}}) {
        auto* l = new QLabel(modulo, PanelTopo1);
        l->setObjectName(QString::fromLatin1(nome));
        l->setFont(fonte(QStringLiteral("Arial"), 48, true));
        corDoTexto(l, cor);
        l->adjustSize();
        l->move(pos);
    }
    coluna->addWidget(PanelTopo1);
    coluna->addStretch(1);

    auto* suporte = new QLabel(QStringLiteral("Suporte WhatsApp: ") + sessao().telefoneSuporte, PanelPrincipal);
    suporte->setObjectName(QStringLiteral("LabelSuporte"));
    suporte->setFont(fonte(QStringLiteral("Verdana"), 19, true));
    corDoTexto(suporte, corMarinho);
    suporte->setAlignment(Qt::AlignCenter);
    suporte->setCursor(Qt::PointingHandCursor);
    coluna->addWidget(suporte);
}

void TPrincipal::criaMenu()
{
    QMenuBar* barra = menuBar();
    barra->setObjectName(QStringLiteral("MenuPrincipal"));
    barra->setFont(fontePropria()); // menus in the system's font, as the frame's is bold

    Menu_Cadastro = submenu(barra, QStringLiteral("Menu_Cadastro"), QStringLiteral("&Cadastros"), 0);
    Opcao00 = entrada(Menu_Cadastro, QStringLiteral("Opcao00"), QStringLiteral("&Clientes"), 0);
    Opcao01 = entrada(Menu_Cadastro, QStringLiteral("Opcao01"), QStringLiteral("Clientes/&Fornecedores"), 0,
                      QKeySequence(Qt::CTRL | Qt::Key_F));
    Opcao01->setEnabled(false);
    Opcao01->setVisible(false);
    Opcao06 = entrada(Menu_Cadastro, QStringLiteral("Opcao06"), QStringLiteral("&Usuários"), 0,
                      QKeySequence(Qt::CTRL | Qt::Key_U));
    barra->addMenu(Menu_Cadastro);

    Lanamentos1 = submenu(barra, QStringLiteral("Lanamentos1"), QStringLiteral("&Lançamentos"), 0);
    Opcao10 = entrada(Lanamentos1, QStringLiteral("Opcao10"), QStringLiteral("&Pesagem"), 0,
                      QKeySequence(Qt::CTRL | Qt::Key_M));
    Lanamentos1->setDefaultAction(Opcao10);
    barra->addMenu(Lanamentos1);

    Relatrios1 = submenu(barra, QStringLiteral("Relatrios1"), QStringLiteral("&Relatórios"), 0);
    Opcao20 = submenu(Relatrios1, QStringLiteral("Opcao20"), QStringLiteral("Relatórios &Analíticos"), 1);
    Opcao200 = entrada(Opcao20, QStringLiteral("Opcao200"), QStringLiteral("Analítico por &Dia"), 0);
    Opcao20->setDefaultAction(Opcao200);
    Relatrios1->addMenu(Opcao20);
    barra->addMenu(Relatrios1);

    Utilitrios1 = submenu(barra, QStringLiteral("Utilitrios1"), QStringLiteral("&Utilitários"), 0);
    ExiberEsconderBarradeAtalho1 = entrada(Utilitrios1, QStringLiteral("ExiberEsconderBarradeAtalho1"),
                                           QStringLiteral("&Exibir/Esconder Barra de Atalho"), -1);
    ExiberEsconderBarradeAtalho1->setCheckable(true);
    ExiberEsconderBarradeAtalho1->setChecked(true);
    N5 = Utilitrios1->addSeparator();
    N5->setObjectName(QStringLiteral("N5"));
    N5->setProperty("Tag", -1);
    Opcao35 = entrada(Utilitrios1, QStringLiteral("Opcao35"), QStringLiteral("Controle de Acesso"), 0);
    Opcao35->setEnabled(false); // the administrator's only: enabled by the login
    Utilitrios1->setDefaultAction(Opcao35);
    // "&Mapear Menu" enables every entry: the menu puts this one right again whenever it opens.
    connect(Utilitrios1, &QMenu::aboutToShow, this,
            [this] { Opcao35->setEnabled(sessao().UsuarioEmUso.trimmed() == QStringLiteral("1")); });
    Opcao36 = entrada(Utilitrios1, QStringLiteral("Opcao36"), QStringLiteral("&Dados da Empresa"), 0);
    Opcao311 = entrada(Utilitrios1, QStringLiteral("Opcao311"), QStringLiteral("&Mapear Menu"), 0);
    Opcao311->setEnabled(false);
    Opcao311->setVisible(false);
    SincronizarDados1 =
        entrada(Utilitrios1, QStringLiteral("SincronizarDados1"), QStringLiteral("Sincronizar Dados"), 0);
    barra->addMenu(Utilitrios1);

    Sobre1 = submenu(barra, QStringLiteral("Sobre1"), QStringLiteral("&Ajuda"), -1);
    Sobre2 = entrada(Sobre1, QStringLiteral("Sobre2"), QStringLiteral("&Sobre..."), -1,
                     QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F1));
    barra->addMenu(Sobre1);

    connect(Opcao00, &QAction::triggered, this, &TPrincipal::Opcao00Click);
    connect(Opcao06, &QAction::triggered, this, &TPrincipal::Opcao06Click);
    connect(Opcao10, &QAction::triggered, this, &TPrincipal::Opcao10Click);
    connect(Opcao36, &QAction::triggered, this, &TPrincipal::Opcao36Click);
    connect(Opcao200, &QAction::triggered, this,
            [this] { abreTelaDoMenu(QStringLiteral("Opcao200"), AjustaControle(Opcao200->text()), -1, -1); });
    connect(Opcao35, &QAction::triggered, this, [this] {
        if (sessao().UsuarioEmUso.trimmed() != QStringLiteral("1")) return;
        abreTelaDoMenu(QStringLiteral("Opcao35"), QStringLiteral("Controle de Acesso"), -1, -1);
    });
    connect(Opcao311, &QAction::triggered, this, &TPrincipal::Opcao311Click);
    connect(SincronizarDados1, &QAction::triggered, this, &TPrincipal::SincronizarDados1Click);
    connect(Sobre2, &QAction::triggered, this, &TPrincipal::Sobre1Click);
    connect(ExiberEsconderBarradeAtalho1, &QAction::triggered, this, &TPrincipal::ExiberEsconderBarradeAtalho1Click);
}

void TPrincipal::criaAcoes()
{
    AcaoPadrao = new QObject(this);
    AcaoPadrao->setObjectName(QStringLiteral("AcaoPadrao"));
    struct Comando
    {
        const char* nome;
        const char* texto;
        QKeySequence atalho;
        Edicao op;
    };
    const Comando comandos[] = {
        {"EditCut1", "&Recortar", QKeySequence(Qt::CTRL | Qt::Key_X), Edicao::Recortar},
        {"EditCopy1", "&Copiar", QKeySequence(Qt::CTRL | Qt::Key_C), Edicao::Copiar},
        {"EditPaste1", "Co&lar", QKeySequence(Qt::CTRL | Qt::Key_V), Edicao::Colar},
        {"EditSelectAll1", "Selecionar &Tudo", QKeySequence(), Edicao::SelecionarTudo},
        {"EditUndo1", "&Desfazer", QKeySequence(Qt::CTRL | Qt::Key_Z), Edicao::Desfazer},
        {"EditDelete1", "&Apagar", QKeySequence(), Edicao::Apagar},
    };
    for (const Comando& c : comandos) {
        auto* a = new QAction(QString::fromUtf8(c.texto), AcaoPadrao);
        a->setObjectName(QString::fromLatin1(c.nome));
        a->setShortcut(c.atalho);
        const Edicao op = c.op;
        connect(a, &QAction::triggered, this, [op] { executaEdicao(op); });
        addAction(a);
    }
    Action1 = new QAction(QStringLiteral("Informações sobre os Dados"), AcaoPadrao);
    Action1->setObjectName(QStringLiteral("Action1"));
    Action1->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_I));
    connect(Action1, &QAction::triggered, this, &TPrincipal::Action1Execute);
    addAction(Action1);
}

QString TPrincipal::linhaFornecedor()
{
    return sessao().NomeEmpresa + QStringLiteral(" - ") + sessao().sitecoorporativo;
}

void TPrincipal::FormCreate()
{
    Sessao& s = sessao();
    s.corprincipal = 0x243147;
    s.corsecundaria = 0xA6CAF0;
    s.NomeAplicativo = QStringLiteral("COMEDAL");
    cores().CorDBGrid = QColor(0xCC, 0xEA, 0xC8);
    cores().CorSelecao = QColor(0x4E, 0x6B, 0x0A);
    if (Dados) {
        Dados->CorDBGrid = 0xCCEAC8;
        Dados->CorSelecao = 0x4E6B0A;
        Dados->SistemaCentral = QStringLiteral("Comedal");
    }
    TraduzMensagemSistema();
    QApplication::setWindowIcon(iconePrograma());
    // No version resource here: the version is the one the program was built with.
    LabelVersao->setText(linhaFornecedor() + QStringLiteral(" - Versão: ") + QStringLiteral(COMEDAL_VERSION));
    PrimeiraVez = true;

    if (Dados) protegido([] { carregaParametros(Dados->fatura, Dados->TransFatura); });
}

// ---- first display, login, exit

void TPrincipal::FormShow()
{
    if (!PrimeiraVez || !Dados) return;
    protegido([this] {
        Dataset* empresas = Dados->Empresas;
        if (!empresas->active()) empresas->open();
        const QString titulo = QStringLiteral("Sistema Comedal ") + empresas->field("FANTASIA").asString().trimmed();
        LabelTopo->setText(titulo);
        setWindowTitle(titulo);
        if (!Dados->Acessos->active()) Dados->Acessos->open();
    });
}

void TPrincipal::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!PrimeiraVez) return;
    FormShow();
    // The login is due at the first paint; not every platform activates a window that is shown,
    // so showing it is enough to make it due.
    Login = true;
    QTimer::singleShot(0, this, &TPrincipal::FormPaint);
}

void TPrincipal::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && PrimeiraVez) // FormActivate
        Login = true;
}

void TPrincipal::paintEvent(QPaintEvent* e)
{
    QMainWindow::paintEvent(e);
    // A modal window must not run inside a paint: the login comes right after it.
    if (Login && !pinturaFeita_) QTimer::singleShot(0, this, &TPrincipal::FormPaint);
}

void TPrincipal::FormPaint()
{
    if (pinturaFeita_ || !Login) return;
    pinturaFeita_ = true; // the login runs at the first paint only
    Login = false;
    setWindowState(windowState() & ~Qt::WindowMaximized);
    setWindowState(windowState() | Qt::WindowMaximized);

    int resultado = QDialog::Rejected;
    {
        QPointer<TSenha> senha = new TSenha(this);
        resultado = dialogos().mostrarModal(senha);
        delete senha;
    }
    if (resultado != QDialog::Accepted) {
        encerra();
        return;
    }

    PrimeiraVez = false;
    bool temUsuario = false;
    try {
        Dataset* usuarios = Dados->Usuarios;
        if (!usuarios->active() || usuarios->isEmpty()) throw std::runtime_error("sem usuário");
        sessao().UsuarioEmUso = usuarios->field("ID").asString();
        temUsuario = !sessao().UsuarioEmUso.isEmpty();
        if (!temUsuario) throw std::runtime_error("sem usuário");
    } catch (const std::exception&) {
        simples(QStringLiteral("Algum erro na inicialização do sistema"));
    }
    Opcao35->setEnabled(sessao().UsuarioEmUso.trimmed() == QStringLiteral("1"));
    if (temUsuario) {
        GuardaLoginUser(sessao().UsuarioEmUso.toInt());
        protegido([this] {
            if (Dados->Usuarios->field("SOLICITASENHA").asString() == u"S") AbrirForm(telas::AlteraSenha);
        });
    }
    protegido([] { ExecutarComandosSQL(); });
    w_Arquivos->clear();
}

void TPrincipal::ExecutarComandosSQL()
{
    if (Dados) Dados->conecta();
}

void TPrincipal::terminaPorSinal()
{
    if (fechando_) return;
    registraSaida();
    encerra();
}

void TPrincipal::encerra()
{
    fechando_ = true;
    emit encerrando();
    close();
    QCoreApplication::quit();
}

void TPrincipal::closeEvent(QCloseEvent* e)
{
    if (fechando_) {
        e->accept();
        return;
    }
    e->ignore();
    if (saindo_) return;
    if (FormCloseQuery()) FormClose();
}

bool TPrincipal::FormCloseQuery()
{
    const QString pendentes = perguntaEdicaoPendente(telasEmEdicao());
    if (!pendentes.isEmpty() && !confirma(pendentes)) return false;
    if (!confirma(QStringLiteral("Você gostaria realmente de Sair do Sistema?"))) return false;
    registraSaida();
    return true;
}

void TPrincipal::registraSaida()
{
    if (!Dados) return;
    // Nothing here may keep the program from ending.
    // A server that dropped the connection and is back gets the logout time all the same.
    if (Dados->conexaoPerdida()) {
        try {
            Dados->reconecta();
        } catch (...) {
        }
    }
    Dataset* log = Dados->LogEntrada;
    try {
        log->close();
        log->setLinha(1, QStringLiteral("WHERE ID = :ID"));
        log->setParametro(QStringLiteral("ID"), qlonglong(sessao().xxLogUsuario));
        log->open();
        // An empty log would be opened for a new row, not for change: the session has no login row.
        if (!log->isEmpty()) {
            log->edit();
            log->field("SAIDA").setValue(agora());
            log->post();
        }
        log->close();
    } catch (...) {
        try {
            if (log->isEditing()) log->cancel();
            log->close();
        } catch (...) {
        }
    }
    try {
        Dados->Usuarios->close();
    } catch (...) {
    }
    try {
        Dados->desconecta();
    } catch (...) {
    }
}

void TPrincipal::FormClose()
{
    saindo_ = true;
    setEnabled(false); // the database is gone: nothing may be chosen in the last second
    emit encerrando();
    QTimer::singleShot(1000, this, [this] {
        fechando_ = true;
        close();
        QCoreApplication::quit();
    });
}

// ---- screens

QWidget* TPrincipal::AbrirForm(const QString& entrada)
{
    const Tela* t = telas::de(entrada);
    if (!t) return nullptr;

    if (t->exibicao != Tela::Exibicao::Filha) {
        QPointer<QWidget>& janela = janelas_[entrada];
        if (!janela) {
            janela = t->cria(this);
            if (!janela) return nullptr;
            if (!janela->isWindow()) janela->setWindowFlag(Qt::Window);
        }
        if (t->exibicao == Tela::Exibicao::Modal) {
            dialogos().mostrarModal(janela);
        } else {
            janela->show();
            janela->raise();
            janela->activateWindow();
        }
        return janela;
    }

    PanelPrincipal->hide();
    QPointer<QMdiSubWindow>& sub = subJanelas_[entrada];
    if (sub) {
        sub->showMaximized();
        AreaTelas->setActiveSubWindow(sub);
        return sub->widget();
    }
    // Created inside the frame so that it builds on the screens' font, not on the bar's bold one.
    QWidget* w = t->cria(AreaTelas);
    if (!w) return nullptr;
    Qt::WindowFlags bandeiras = Qt::SubWindow;
    // Only the screens that minimise have title-bar buttons; the others (clients, users, company)
    // have none, nor the system menu's icon in the menu bar while maximised. The client screen
    // closes with its own button.
    if (t->fechamento != Tela::Fechamento::Minimiza) bandeiras |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    sub = new MolduraTela(t->fechamento, AreaTelas, bandeiras);
    sub->setObjectName(QStringLiteral("Moldura") + entrada);
    sub->setWidget(w);
    // A screen that destroys itself takes its frame with it.
    connect(w, &QObject::destroyed, sub, &QObject::deleteLater);
    AreaTelas->addSubWindow(sub);
    sub->showMaximized();
    AreaTelas->setActiveSubWindow(sub);
    return w;
}

QStringList TPrincipal::telasEmEdicao() const
{
    QStringList nomes;
    QStringList entradas = subJanelas_.keys() + janelas_.keys();
    entradas.sort();
    for (const QString& e : entradas) {
        QWidget* w = tela(e);
        if (!w || !telaEmEdicao(w)) continue;
        // Named as its menu entry calls it ("Pesagem"), else by its caption.
        const QAction* a = findChild<QAction*>(e);
        const QString nome = a && !a->text().isEmpty() ? AjustaControle(a->text()) : w->windowTitle();
        if (!nomes.contains(nome)) nomes << nome;
    }
    return nomes;
}

QMdiSubWindow* TPrincipal::subJanela(const QString& entrada) const
{
    return subJanelas_.value(entrada);
}

QWidget* TPrincipal::tela(const QString& entrada) const
{
    if (QMdiSubWindow* s = subJanelas_.value(entrada)) return s->widget();
    return janelas_.value(entrada);
}

void TPrincipal::abreTelaDoMenu(const QString& entrada, const QString& titulo, int horizontal, int vertical)
{
    if (!telas::de(entrada)) return; // this build has no such screen
    protegido([&] {
        PanelPrincipal->hide();
        LabelTopo->setText(titulo);
        if (horizontal >= 0) BuscaProg(titulo, horizontal, vertical, -1, QStringLiteral("F"));
        AbrirForm(entrada);
    });
}

void TPrincipal::Opcao00Click()
{
    abreTelaDoMenu(QStringLiteral("Opcao00"), AjustaControle(Opcao00->text()), 0, 0);
}

void TPrincipal::Opcao06Click()
{
    abreTelaDoMenu(QStringLiteral("Opcao06"), AjustaControle(Opcao06->text()), 0, 2);
}

void TPrincipal::Opcao10Click()
{
    abreTelaDoMenu(QStringLiteral("Opcao10"), AjustaControle(Opcao10->text()), -1, -1);
}

void TPrincipal::Opcao36Click()
{
    abreTelaDoMenu(QStringLiteral("Opcao36"), QStringLiteral("Dados da Empresa"), -1, -1);
}

void TPrincipal::SincronizarDados1Click()
{
    abreTelaDoMenu(QStringLiteral("SincronizarDados1"), QStringLiteral("Sincronizar Dados"), -1, -1);
}

void TPrincipal::Sobre1Click()
{
    protegido([this] { AbrirForm(QStringLiteral("Sobre2")); });
}

void TPrincipal::Opcao311Click()
{
    protegido([this] { MapearMenu(menuBar()); });
}

void TPrincipal::ExiberEsconderBarradeAtalho1Click()
{
    const bool mostrar = PanelAtalho->isHidden();
    PanelAtalho->setVisible(mostrar);
    w_URL->setVisible(mostrar);
    ExiberEsconderBarradeAtalho1->setChecked(mostrar);
}

void TPrincipal::CasaClick()
{
    PanelPrincipal->setVisible(PanelPrincipal->isHidden());
}

void TPrincipal::SpeedButton27Click()
{
    const QList<QMdiSubWindow*> abertas = AreaTelas->subWindowList(QMdiArea::ActivationHistoryOrder);
    if (abertas.isEmpty()) {
        avisa(QStringLiteral("Não existe tela anterior a essa"));
        return;
    }
    // The screen that was active longest ago.
    QMdiSubWindow* anterior = abertas.first();
    LabelTopo->setText(anterior->windowTitle());
    PanelPrincipal->hide(); // otherwise the screen would come forward behind the home panel
    anterior->showMaximized();
    AreaTelas->setActiveSubWindow(anterior);
}

// ---- field information box

QString TPrincipal::informacoesDoCampo(QWidget* controle)
{
    QString coluna, tabela, chave, tabelaLista;
    bool obrigatorio = false;
    for (QWidget* w = controle; w && !qobject_cast<QMdiSubWindow*>(w) && !w->isWindow(); w = w->parentWidget()) {
        if (auto* grade = qobject_cast<DBGrid*>(w)) {
            if (Field* f = grade->campoSelecionado()) {
                coluna = f->fieldName();
                obrigatorio = f->required();
                tabela = f->dataset() ? f->dataset()->name() : QString();
            }
            break;
        }
        LigacaoCampo* ligacao = nullptr;
        if (auto* e = qobject_cast<DBEdit*>(w))
            ligacao = e->ligacao();
        else if (auto* c = qobject_cast<DBComboBox*>(w))
            ligacao = c->ligacao();
        else if (auto* m = qobject_cast<DBMemo*>(w))
            ligacao = m->ligacao();
        else if (auto* r = qobject_cast<DBRadioGroup*>(w))
            ligacao = r->ligacao();
        else if (auto* l = qobject_cast<DBLookupComboBox*>(w)) {
            ligacao = l->ligacao();
            chave = l->campoChave();
            tabelaLista = l->lista() ? l->lista()->name() : QString();
        }
        if (ligacao) {
            coluna = ligacao->nomeCampo();
            tabela = ligacao->dataset() ? ligacao->dataset()->name() : QString();
            const Field* f = ligacao->campo();
            obrigatorio = f && f->required();
            break;
        }
    }
    if (tabela.isEmpty()) return QString();

    const QChar cr(13);
    QString texto =
        QStringLiteral("INFORMAÇÕES SOBRE O CAMPO") + cr + cr + QStringLiteral("Nome do Campo:") +
        maiusculasAscii(coluna) + cr + QStringLiteral("Tabela:") + maiusculasAscii(tabela) + cr +
        maiusculasAscii(obrigatorio ? QStringLiteral("Campo Obrigatório") : QStringLiteral("Campo não Obrigatório"));
    if (!chave.isEmpty() || !tabelaLista.isEmpty())
        texto += QString(cr) + cr + QStringLiteral("O valor do campo acima vem do campo ") + maiusculasAscii(chave) +
                 cr + QStringLiteral("que esta na Tabela ") + maiusculasAscii(tabelaLista);
    return texto;
}

void TPrincipal::Action1Execute()
{
    if (AreaTelas->subWindowList().isEmpty()) return;
    QMdiSubWindow* ativa = AreaTelas->activeSubWindow();
    if (!ativa) ativa = AreaTelas->currentSubWindow();
    if (!ativa) return;
    QWidget* foco = QApplication::focusWidget();
    if (!foco || !ativa->isAncestorOf(foco)) foco = ativa->focusWidget();
    const QString texto = informacoesDoCampo(foco);
    if (!texto.isEmpty()) informa(texto);
}

// ---- program body

int Comedal(const fb::ConnectionSettings& banco)
{
    // Portuguese texts and the program's icon already for a box about the database.
    TraduzMensagemSistema();
    QApplication::setWindowIcon(iconePrograma());
    std::unique_ptr<TDados> dados;
    try {
        dados = std::make_unique<TDados>(banco);
        // Rows read again under a box waiting for an answer would change what the action asked about.
        dados->momentoLivre = [] { return !QApplication::activeModalWidget() && !QApplication::activePopupWidget(); };
    } catch (const std::exception& e) {
        relataErro(e);
        return 1;
    }
    int codigo = 0;
    {
        TPrincipal principal;
        AvisoDeSinal sinais; // after the first connection: see app/sinais.h
        QObject::connect(&sinais, &AvisoDeSinal::recebido, &principal, &TPrincipal::terminaPorSinal);
        // Filled screen also where no window manager honours the maximised state.
        if (QScreen* tela = principal.screen()) principal.setGeometry(tela->availableGeometry());
        principal.showMaximized();
        codigo = QApplication::exec();
    }
    return codigo;
}
