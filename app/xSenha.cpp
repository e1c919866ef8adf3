#include "app/xSenha.h"

#include "app/sessaolog.h"
#include "common/acessos.h"
#include "common/global.h"
#include "common/mascara.h"
#include "common/regrasusuario.h"
#include "common/ui/dblookupcombobox.h"
#include "common/ui/relatorioerro.h"
#include "common/ui/telacadastro.h"
#include "data/arquivos.h"
#include "users/xRecuperaSenha.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

namespace {

const QColor corFundo(0xA6, 0xCA, 0xF0);
const QColor corCabecalho(0x24, 0x31, 0x47);
const QColor corCampo(0xE2, 0xE2, 0xC5);
const QColor corPainelFoco(0x00, 0x00, 0x80);
const QColor corLink(0x00, 0x00, 0x80);

const QString mascaraCodigo = QStringLiteral("99999999;0;_");

// The code box: leaving it runs the lookup once the box has finished its own focus handling.
class CaixaCodigo : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;
    std::function<void(Qt::FocusReason)> aoSair;

protected:
    // A click anywhere in the empty box starts the code at its first position: typed past the last
    // one, digits would be dropped.
    void mousePressEvent(QMouseEvent* e) override
    {
        QLineEdit::mousePressEvent(e);
        if (e->button() == Qt::LeftButton && text().isEmpty()) setCursorPosition(0);
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        QLineEdit::focusOutEvent(e);
        if (aoSair) aoSair(e->reason());
    }
};

TSenha::FabricaRecuperacao& fabrica()
{
    static TSenha::FabricaRecuperacao f;
    return f;
}

void pinta(QWidget* w, QPalette::ColorRole papel, const QColor& cor)
{
    QPalette p = w->palette();
    p.setColor(papel, cor);
    w->setPalette(p);
}

QFont fonte(int pixels, bool negrito)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(negrito);
    return f;
}

QLabel* rotulo(QWidget* pai, const QString& texto, const QRect& onde, int pixels = 12, bool negrito = true)
{
    auto* l = new QLabel(texto, pai);
    l->setGeometry(onde);
    l->setFont(fonte(pixels, negrito));
    return l;
}

QTime horaDe(const QVariant& v)
{
    const QTime t = v.toTime();
    return t.isValid() ? t : QTime(0, 0);
}

} // namespace

void TSenha::defineFabricaRecuperacao(FabricaRecuperacao f)
{
    fabrica() = std::move(f);
}

TSenha::TSenha(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Senha"));
    setFixedSize(488, 288);
    setAutoFillBackground(true);
    pinta(this, QPalette::Window, corFundo);
    setFont(fonte(12, false));
    encerraPrograma = [] { QCoreApplication::exit(0); };

    // Header band.
    auto* topo = new QFrame(this);
    topo->setObjectName(QStringLiteral("PanelTopo"));
    topo->setGeometry(0, 0, 488, 52);
    topo->setAutoFillBackground(true);
    pinta(topo, QPalette::Window, corCabecalho);
    LabelTopo = rotulo(topo, sessao().NomeAplicativo, QRect(14, 0, 460, 34), 27);
    LabelTopo->setObjectName(QStringLiteral("LabelTopo"));
    pinta(LabelTopo, QPalette::WindowText, Qt::white);
    auto* bemVindo = rotulo(topo, QStringLiteral("Seja bem-vindo"), QRect(16, 33, 300, 17), 12, false);
    pinta(bemVindo, QPalette::WindowText, Qt::white);

    // Code, name and password.
    auto* caixa = new CaixaCodigo(this);
    w_Codigo = caixa;
    w_Codigo->setObjectName(QStringLiteral("w_Codigo"));
    w_Codigo->setGeometry(16, 77, 96, 24);
    w_Codigo->setInputMask(mascara::mascaraQt(mascaraCodigo));
    pinta(w_Codigo, QPalette::Base, corCampo);
    caixa->aoSair = [this](Qt::FocusReason motivo) {
        // Only a move inside the window counts; a message box or another window taking the
        // focus is no leaving.
        switch (motivo) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::MouseFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::OtherFocusReason:
            break;
        default:
            return;
        }
        if (fechando_ || saindoCodigo_ || !isVisible()) return;
        saindoCodigo_ = true;
        protegido([this] { w_CodigoExit(); });
        saindoCodigo_ = false;
    };
    auto* lCodigo = rotulo(this, QStringLiteral("Codigo"), QRect(16, 60, 96, 16));
    lCodigo->setBuddy(w_Codigo);

    DBLookupComboBox1 = new DBLookupComboBox(this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setGeometry(124, 77, 348, 24);
    DBLookupComboBox1->setMaxVisibleItems(10);
    pinta(DBLookupComboBox1, QPalette::Base, corCampo);
    pinta(DBLookupComboBox1, QPalette::Button, corCampo);
    if (Dados) DBLookupComboBox1->setLista(Dados->Usuarios, QStringLiteral("ID"), QStringLiteral("NOME"));
    connect(DBLookupComboBox1, &DBLookupComboBox::escolhido, this, [this] { DBLookupComboBox1Click(); });
    auto* lNome = rotulo(this, QStringLiteral("Nome"), QRect(124, 60, 200, 16));
    lNome->setBuddy(DBLookupComboBox1);

    Password = new QLineEdit(this);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setGeometry(16, 123, 200, 24);
    Password->setEchoMode(QLineEdit::Password);
    Password->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }")); // "*"
    pinta(Password, QPalette::Base, corCampo);
    auto* lSenha = rotulo(this, QStringLiteral("Digite a sua Senha"), QRect(16, 106, 200, 16));
    lSenha->setBuddy(Password);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(220, 123, 26, 24);
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    defineDica(SpeedButton1, QStringLiteral("Mostrar a Senha Digitada"));
    connect(SpeedButton1, &QToolButton::pressed, this, [this] { Password->setEchoMode(QLineEdit::Normal); });
    connect(SpeedButton1, &QToolButton::released, this, [this] { Password->setEchoMode(QLineEdit::Password); });

    auto* nota =
        rotulo(this, QStringLiteral("Nota: a comparação da senha faz distinção entre letras maíusculas e minusculas"),
               QRect(16, 150, 456, 16), 11, false);
    nota->setObjectName(QStringLiteral("LabelNota"));

    // Button panels: picture and text; a click on any of the three is the panel's click.
    auto painel = [this](const char* nome, const char* imagem, const char* rotuloNome, const QString& texto, int x,
                         QStyle::StandardPixmap figura, QLabel*& img, QLabel*& txt) {
        auto* p = new QFrame(this);
        p->setObjectName(QString::fromLatin1(nome));
        p->setGeometry(x, 172, 146, 60);
        p->setFrameShape(QFrame::Panel);
        p->setFrameShadow(QFrame::Raised);
        p->setLineWidth(2);
        p->setAutoFillBackground(true);
        p->setFocusPolicy(Qt::TabFocus);
        p->setCursor(Qt::PointingHandCursor);
        p->setAccessibleName(texto);
        img = new QLabel(p);
        img->setObjectName(QString::fromLatin1(imagem));
        img->setGeometry(8, 14, 32, 32);
        img->setPixmap(style()->standardIcon(figura).pixmap(32, 32));
        txt = new QLabel(texto, p);
        txt->setObjectName(QString::fromLatin1(rotuloNome));
        txt->setGeometry(44, 2, 98, 56);
        txt->setWordWrap(true);
        txt->setFont(fonte(13, true));
        for (QWidget* w : {static_cast<QWidget*>(p), static_cast<QWidget*>(img), static_cast<QWidget*>(txt)})
            w->installEventFilter(this);
        pintaPainel(p, false);
        return p;
    };
    PanelLogar = painel("PanelLogar", "Image4", "LabelLogar", QStringLiteral("Logar"), 16, QStyle::SP_DialogApplyButton,
                        Image4, LabelLogar);
    PanelSair = painel("PanelSair", "Image2", "Label4", QStringLiteral("Sair do Sistema"), 171,
                       QStyle::SP_DialogCloseButton, Image2, Label4);
    PanelLimparSenha = painel("PanelLimparSenha", "Image3", "Label5", QStringLiteral("Limpar Senha"), 326,
                              QStyle::SP_DialogResetButton, Image3, Label5);

    Label9 = rotulo(this, QStringLiteral("Esqueci minha senha"), QRect(16, 250, 200, 20));
    Label9->setObjectName(QStringLiteral("Label9"));
    QFont sublinhada = Label9->font();
    sublinhada.setUnderline(true);
    Label9->setFont(sublinhada);
    pinta(Label9, QPalette::WindowText, corLink);
    Label9->setCursor(Qt::PointingHandCursor);
    Label9->installEventFilter(this);

    setTabOrder(w_Codigo, DBLookupComboBox1);
    setTabOrder(DBLookupComboBox1, Password);
    setTabOrder(Password, PanelLogar);
    setTabOrder(PanelLogar, PanelSair);
    setTabOrder(PanelSair, PanelLimparSenha);

    // Every key reaches the window before the focused control.
    for (QWidget* w :
         {static_cast<QWidget*>(w_Codigo), static_cast<QWidget*>(DBLookupComboBox1), static_cast<QWidget*>(Password)})
        w->installEventFilter(this);

    // Rounded outline, no title bar.
    QPainterPath contorno;
    contorno.addRoundedRect(QRectF(rect()), 10, 10);
    setMask(QRegion(contorno.toFillPolygon().toPolygon()));

    vezes = 0;
}

TSenha::~TSenha() = default;

// ---- display ----

void TSenha::showEvent(QShowEvent* evento)
{
    QDialog::showEvent(evento);
    if (evento->spontaneous()) return;
    fechando_ = false;
    if (QScreen* tela = screen()) move(tela->availableGeometry().center() - rect().center());
    protegido([this] { FormShow(); });
}

void TSenha::FormShow()
{
    LabelTopo->setText(sessao().NomeAplicativo);
    Dataset& u = *Dados->Usuarios;
    u.close();
    u.setSQL({QStringLiteral("SELECT * FROM USUARIOS WHERE ATIVO <> 'N' OR ATIVO IS NULL ORDER BY NOME")});
    u.open();
    w_Codigo->setFocus();
}

void TSenha::changeEvent(QEvent* evento)
{
    QDialog::changeEvent(evento);
    if (evento->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TSenha::FormActivate()
{
    LabelTopo->setText(sessao().NomeAplicativo);
    if (QWidget* pai = parentWidget()) {
        QWidget* principal = pai->window();
        if (principal->isVisible() && !principal->isMaximized())
            principal->setWindowState(principal->windowState() | Qt::WindowMaximized);
    }
}

void TSenha::pintaPainel(QFrame* painel, bool foco)
{
    pinta(painel, QPalette::Window, foco ? corPainelFoco : QColor(Qt::white));
    // The text stays readable on navy.
    for (QLabel* l : painel->findChildren<QLabel*>())
        pinta(l, QPalette::WindowText, foco ? QColor(Qt::white) : QColor(Qt::black));
}

// ---- events ----

bool TSenha::eventFilter(QObject* objeto, QEvent* evento)
{
    switch (evento->type()) {
    case QEvent::KeyPress:
        return FormKeyPress(static_cast<QKeyEvent*>(evento));
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        if (auto* p = qobject_cast<QFrame*>(objeto); p && (p == PanelLogar || p == PanelSair || p == PanelLimparSenha))
            pintaPainel(p, evento->type() == QEvent::FocusIn);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        // The click gave the list the focus, and leaving the code box ran its rule first: when the
        // rule put the cursor elsewhere (back in the code box, or on to the password), the list does
        // not drop down.
        if (objeto == DBLookupComboBox1) {
            if (evento->type() != QEvent::MouseButtonRelease && !DBLookupComboBox1->hasFocus()) return true;
            break;
        }
        std::function<void()> acao;
        if (objeto == PanelLogar || objeto == Image4 || objeto == LabelLogar)
            acao = [this] { Image4Click(); };
        else if (objeto == PanelSair || objeto == Image2 || objeto == Label4)
            acao = [this] { PanelSairClick(); };
        else if (objeto == PanelLimparSenha || objeto == Image3 || objeto == Label5)
            acao = [this] { PanelLimparSenhaClick(); };
        else if (objeto == Label9)
            acao = [this] { Label9Click(); };
        if (!acao) break;
        auto* m = static_cast<QMouseEvent*>(evento);
        auto* w = static_cast<QWidget*>(objeto);
        if (evento->type() == QEvent::MouseButtonRelease && m->button() == Qt::LeftButton &&
            w->rect().contains(m->position().toPoint()))
            protegido(acao);
        return true;
    }
    default:
        break;
    }
    return QDialog::eventFilter(objeto, evento);
}

void TSenha::keyPressEvent(QKeyEvent* evento)
{
    if (!FormKeyPress(evento)) QDialog::keyPressEvent(evento);
}

bool TSenha::FormKeyPress(QKeyEvent* tecla)
{
    const int k = tecla->key();
    if (k == Qt::Key_Tab || k == Qt::Key_Backtab) return false; // moves between fields, as in any window
    if (k == Qt::Key_Escape) {
        fecha(false);
        return true;
    }
    const bool enter = k == Qt::Key_Return || k == Qt::Key_Enter;
    if (!enter && tecla->text().isEmpty()) return false; // arrows, function keys: the control's own business

    bool usada = false;
    protegido([&] {
        if (enter) {
            usada = true;
            if (enterLogin() != Resultado::Segue) return;
        }
        if (fechando_) return;
        QWidget* foco = focusWidget();
        if (foco == PanelLogar) {
            usada = true;
            teclaLogar();
        } else if (foco == PanelLimparSenha) {
            usada = true;
            limpaSenha();
        } else if (foco == PanelSair) {
            usada = true;
            fecha(false);
        } else if (enter) {
            focusNextChild();
        }
    });
    return usada;
}

// ---- identification ----

QString TSenha::codigo() const
{
    QString digitos;
    for (const QChar c : w_Codigo->text())
        if (c >= u'0' && c <= u'9') digitos += c;
    return digitos;
}

bool TSenha::temUsuario() const
{
    const Dataset& u = *Dados->Usuarios;
    return u.active() && !u.isEmpty();
}

int TSenha::usuarioAtual() const
{
    return Dados->Usuarios->value(QStringLiteral("ID")).toInt();
}

void TSenha::w_CodigoExit()
{
    QString w_Mat = codigo();
    if (w_Mat.isEmpty()) return;
    // A six-digit code carries a check digit: the first five are the number.
    if (w_Mat.size() == 6) w_Mat = QString::number(w_Mat.left(5).toInt());
    if (w_Mat.startsWith(u'0')) w_Mat.remove(0, 1);

    Dataset& u = *Dados->Usuarios;
    bool numero = false;
    const int chave = w_Mat.toInt(&numero);
    const bool achou = numero && u.active() &&
                       (u.locate({QStringLiteral("ID")}, {chave}) || u.locate({QStringLiteral("MATRICULA")}, {chave}));
    if (!achou) {
        erro(QStringLiteral("Usuário não Encontrado!"));
        w_Codigo->setFocus();
        return;
    }
    if (u.value(QStringLiteral("ATIVO")).toString().trimmed() == QStringLiteral("B")) {
        erro(QStringLiteral("Cadastro de usuário Bloqueado!"));
        w_Codigo->setFocus();
        return;
    }
    if (usuarioAtual() != 1 && !verificaAcesso(Via::Codigo)) return;
    // The name list follows the dataset's row.
    Password->setFocus();
}

void TSenha::DBLookupComboBox1Click()
{
    const QVariant chave = DBLookupComboBox1->chave();
    if (chave.isValid()) w_Codigo->setText(QString::number(chave.toLongLong()));
}

// ---- checks ----

bool TSenha::verificaAcesso(Via via)
{
    if (!temUsuario() || usuarioAtual() == 1) return true; // the administrator is never held by dates or hours

    QString sufixoData = QStringLiteral(". Qualquer dúvida: entre em contato com o CPD");
    QString sufixoHora = sufixoData;
    QString terminou = QStringLiteral("Sua permissão de acesso terminou as ");
    switch (via) {
    case Via::Codigo:
        terminou = QStringLiteral("Sua permissão de acesso terminou em ");
        break;
    case Via::Enter:
        sufixoData = sufixoHora = QStringLiteral(". Qualquer dúvida: entre em contato com o TI");
        break;
    case Via::TeclaLogar:
        break;
    case Via::CliqueLogar:
        sufixoData = QStringLiteral(". Qualquer dúvida: entre em contato com o Adminsitrador do Sistema");
        sufixoHora = QStringLiteral(". Qualquer dúvida: entre em contato com com o Adminsitrador do Sistema");
        break;
    }

    auto falha = [this, via](const QString& texto) {
        avisa(texto);
        if (via == Via::Codigo)
            fecha(false);
        else
            encerra();
        return false;
    };

    Dataset& u = *Dados->Usuarios;
    const QDateTime momento = agora();
    const QDate hoje = momento.date();
    const QDate expira = u.value(QStringLiteral("EXPIRA")).toDate();
    // No expiry date counts as long past.
    if (!expira.isValid() || hoje >= expira)
        return falha(QStringLiteral("Seu acesso expirou. Entre em contato com o Administrador"));
    if (hoje.addDays(5) >= expira)
        avisa(QStringLiteral("Seu acesso expira em ") + expira.toString(QStringLiteral("dd/MM/yyyy")) + sufixoData);

    const QTime hora = momento.time();
    const QTime inicio = horaDe(u.value(QStringLiteral("HORAINICIO")));
    const QTime fim = horaDe(u.value(QStringLiteral("HORAFIM")));
    if (hora < inicio)
        return falha(QStringLiteral("Sua permissão de acesso inicia em ") +
                     inicio.toString(QStringLiteral("HH:mm:ss")) + sufixoHora);
    if (hora > fim) return falha(terminou + fim.toString(QStringLiteral("HH:mm:ss")) + sufixoHora);
    return true;
}

TSenha::Resultado TSenha::regraSenha(Via via)
{
    if (!temUsuario()) {
        erro(QStringLiteral("Usuário não Encontrado!"));
        return Resultado::Segue;
    }
    Dataset& u = *Dados->Usuarios;
    // Read the row again: another workstation may have blocked the user or changed the password
    // since the list was opened.
    u.refresh();
    const int usuario = usuarioAtual();

    if (Password->text() == u.value(QStringLiteral("SENHA")).toString()) {
        const QString ativo = u.value(QStringLiteral("ATIVO")).toString().trimmed();
        if (ativo == QStringLiteral("N")) {
            erro(via == Via::CliqueLogar ? QStringLiteral("Usuário Desativado. Você não tem mais acesso ao sistema.")
                                         : QStringLiteral("Usuário Desativado"));
            return Resultado::Segue;
        }
        if (ativo == QStringLiteral("B")) {
            erro(via == Via::CliqueLogar ? QStringLiteral("Usuário Bloqueado. Você não tem mais acesso ao sistema#")
                                         : QStringLiteral("Usuário Bloqueado. Você não tem mais acesso ao sistema"));
            return Resultado::Segue;
        }
        // Enter logs in at once only when the key itself was typed; a registration number or a
        // six-digit code goes on to "Logar" first.
        if (via == Via::Enter && codigo() != QString::number(usuario)) return Resultado::Segue;
        aceita();
        return Resultado::Encerrado;
    }

    ++vezes;
    if (vezes > 9) {
        bloqueia(usuario);
        return Resultado::Encerrado;
    }
    erro(QStringLiteral("Senha Invalida. restam ") + QString::number(10 - vezes) + QStringLiteral(" vezes"));
    if (via != Via::TeclaLogar) Password->clear();
    Password->setFocus();
    return Resultado::SenhaErrada;
}

// ---- the three ways to a login ----

TSenha::Resultado TSenha::enterLogin()
{
    if (Password->text().trimmed().isEmpty()) return Resultado::Segue;
    if (!verificaAcesso(Via::Enter)) return Resultado::Encerrado;
    return regraSenha(Via::Enter);
}

void TSenha::teclaLogar()
{
    if (!verificaAcesso(Via::TeclaLogar)) return;
    if (Password->text().trimmed().isEmpty()) {
        Password->setFocus();
        return;
    }
    regraSenha(Via::TeclaLogar);
}

void TSenha::Image4Click()
{
    if (focusWidget() == w_Codigo && Password->text().isEmpty()) {
        Password->setFocus(); // leaving the code box looks the user up
        return;
    }
    if (!verificaAcesso(Via::CliqueLogar)) return;
    regraSenha(Via::CliqueLogar);
}

// ---- other buttons ----

void TSenha::limpaSenha()
{
    Password->clear();
    Password->setFocus();
}

void TSenha::PanelLimparSenhaClick()
{
    limpaSenha();
}

void TSenha::PanelSairClick()
{
    fecha(false);
}

void TSenha::Label9Click()
{
    if (BuscaConfiguracao(QStringLiteral("tokenwhatappgw")).isEmpty()) {
        erro(QStringLiteral("Atenção seu sistema não esta configurado para enviarmensagens através do whatsapp. "
                            "Solicite ao seu administradorpara liberar essa funcionabilidade"));
        return;
    }
    if (!recuperacao_) recuperacao_ = fabrica() ? fabrica()(this) : new TRecuperarSenha(this);
    if (recuperacao_) {
        recuperacao_->show();
        recuperacao_->raise();
        recuperacao_->activateWindow();
    }
}

// ---- outcomes ----

void TSenha::aceita()
{
    // Screens read the rights of the user who is working, not the administrator's.
    const int usuario = usuarioAtual();
    protegido([usuario] { SelecionaAcessos(usuario); });
    fecha(true);
}

void TSenha::bloqueia(int usuario)
{
    erro(QStringLiteral("Senha Bloqueada. Entre em contato com com o Adminsitrador do Sistema"));
    // The blocking must stand even when the log row cannot be written.
    // The administrator is not blocked: anyone at a counter could otherwise lock the restaurant out
    // of its own administration. The attempt is logged and the program ends all the same.
    if (!ehAdministrador(usuario)) {
        protegido([usuario] {
            ExecutorSQL& sql = *Dados->ExecSQL;
            sql.SQL = QStringList{QStringLiteral("UPDATE USUARIOS SET ATIVO='B' WHERE ID=:ID")};
            sql.setParametro(QStringLiteral("ID"), usuario);
            sql.ExecQuery();
            Dados->TransFatura.commitRetaining();
        });
    }
    protegido([usuario] { GravaLogUsuario(usuario, Dados->VersaoSistemaCentral + QStringLiteral("*")); });
    encerra();
}

void TSenha::encerra()
{
    if (encerraPrograma) encerraPrograma();
    fecha(false);
}

void TSenha::fecha(bool aceito)
{
    if (fechando_) return;
    fechando_ = true;
    if (aceito)
        accept();
    else
        reject();
}
