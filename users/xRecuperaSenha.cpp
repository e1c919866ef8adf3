#include "users/xRecuperaSenha.h"

#include "common/global.h"
#include "common/ui/relatorioerro.h"
#include "data/arquivos.h"
#include "users/ativacao.h"
#include "users/senhas.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString soDigitos(const QString& texto)
{
    QString d;
    for (QChar c : texto)
        if (c >= u'0' && c <= u'9') d += c;
    return d;
}

} // namespace

TRecuperarSenha::TRecuperarSenha(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RecuperarSenha"));
    setWindowTitle(QStringLiteral("Recuperar Senha"));
    setModal(false);

    w_CPF = new QLineEdit(this);
    w_CPF->setObjectName(QStringLiteral("w_CPF"));
    w_CPF->setInputMask(QStringLiteral("999.999.999-99;_"));
    w_Nascimento = new QLineEdit(this);
    w_Nascimento->setObjectName(QStringLiteral("w_Nascimento"));
    w_Nascimento->setInputMask(QStringLiteral("99/99/9999;_"));
    Recuperar = new QPushButton(QStringLiteral("Recuperar"), this);
    Recuperar->setObjectName(QStringLiteral("Recuperar"));
    Recuperar->setDefault(true);
    Cancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    Cancelar->setObjectName(QStringLiteral("Cancelar"));
    // The buttons take no focus, so that pressing one does not first run the CPF box's check.
    Recuperar->setFocusPolicy(Qt::NoFocus);
    Cancelar->setFocusPolicy(Qt::NoFocus);

    auto* cpf = new QLabel(QStringLiteral("Informe seu C.P.F."), this);
    cpf->setBuddy(w_CPF);
    auto* nascimento = new QLabel(QStringLiteral("Informe sua Data de Nascimento"), this);
    nascimento->setBuddy(w_Nascimento);
    auto* g = new QGridLayout;
    g->addWidget(cpf, 0, 0);
    g->addWidget(w_CPF, 1, 0);
    g->addWidget(nascimento, 2, 0);
    g->addWidget(w_Nascimento, 3, 0);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(Recuperar);
    botoes->addWidget(Cancelar);
    auto* v = new QVBoxLayout(this);
    v->addLayout(g);
    v->addSpacing(8);
    v->addLayout(botoes);
    w_CPF->setMinimumWidth(220);
    setFixedSize(sizeHint());

    encerraAplicacao = [] {
        // Leaves every running event loop (the login window's too), and the main one if it has
        // not started yet.
        QCoreApplication::exit(0);
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    };

    connect(Recuperar, &QPushButton::clicked, this, [this] { protegido([&] { RecuperarClick(); }); });
    connect(Cancelar, &QPushButton::clicked, this, &TRecuperarSenha::CancelarClick);
    w_CPF->installEventFilter(this);
    ativacao_ = new AtivacaoTela(this, [this] { FormActivate(); });
}

void TRecuperarSenha::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    FormActivate();
}

void TRecuperarSenha::FormActivate()
{
    w_CPF->clear();
    w_Nascimento->clear();
    contador = 3;
    w_CPF->setFocus();
}

void TRecuperarSenha::CancelarClick()
{
    close();
}

QString TRecuperarSenha::cpfDigitado() const
{
    return soDigitos(w_CPF->text());
}

bool TRecuperarSenha::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == w_CPF && evento->type() == QEvent::FocusOut) {
        const auto motivo = static_cast<QFocusEvent*>(evento)->reason();
        // Another window taking the activation (a message box) is no leaving of the box.
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason && !w_CPFExit())
            QTimer::singleShot(0, w_CPF, [this] { w_CPF->setFocus(); });
    }
    return QDialog::eventFilter(objeto, evento);
}

bool TRecuperarSenha::w_CPFExit()
{
    const QString digitos = cpfDigitado();
    if (digitos.isEmpty()) return true;
    if (digitos.size() != 11) {
        avisa(QStringLiteral("AtençãoDeve-se Digitar CPF Valido") + u'\n' + QStringLiteral("sem ., / ou - "));
        return false;
    }
    if (!cpf(digitos)) {
        avisa(QStringLiteral("Número de C.P.F. Invalido."));
        return false;
    }
    return true;
}

QString TRecuperarSenha::textoMensagem(const QString& senha, const QString& aplicativo, const QString& razaoSocial)
{
    return QStringLiteral("Você acabou de receber a seguinte senha ") + senha +
           QStringLiteral(" , para ser utilizada no sistema  ") + aplicativo + QStringLiteral(" da empresa ") +
           razaoSocial + QStringLiteral(" pelo motivo de solicitação de recuperação de senha");
}

void TRecuperarSenha::RecuperarClick()
{
    try {
        recupera();
    } catch (...) {
        if (contador <= 0) encerraAplicacao();
        throw;
    }
    if (contador <= 0) encerraAplicacao();
}

void TRecuperarSenha::recupera()
{
    const QString digitosCpf = cpfDigitado();
    if (digitosCpf.isEmpty()) {
        erro(QStringLiteral("Obrigatório preenchimento de CPF"));
        w_CPF->setFocus();
        return;
    }
    const QString digitosData = soDigitos(w_Nascimento->text());
    if (digitosData.isEmpty()) {
        erro(QStringLiteral("Obrigatório preenchimento da Data de Nascimento"));
        w_Nascimento->setFocus();
        return;
    }
    if (!w_CPFExit()) {
        w_CPF->setFocus();
        return;
    }
    const QDate nascimento = QDate::fromString(digitosData, QStringLiteral("ddMMyyyy"));
    if (digitosData.size() != 8 || !nascimento.isValid()) {
        erro(QStringLiteral("Data de Nascimento inválida."));
        w_Nascimento->setFocus();
        return;
    }

    // ---- identification
    QVariant id;
    QString celular;
    {
        fb::Statement q(Dados->fatura, Dados->TransFatura,
                        QStringLiteral("SELECT FIRST 1 ID, CELULAR FROM USUARIOS\n"
                                       "WHERE CPF = :CPF AND NASCIMENTO = :NASCIMENTO"));
        q.setParameter(QStringLiteral("CPF"), digitosCpf);
        q.setParameter(QStringLiteral("NASCIMENTO"), nascimento);
        q.execute();
        if (q.fetch()) {
            id = q.value(0);
            celular = q.value(1).toString().trimmed();
        }
        q.close();
    }
    if (!id.isValid()) {
        --contador;
        avisa(QStringLiteral("Usuário não identificado no nosso sistema") + u'\n' +
              QStringLiteral("Você tem mais %1 tentativas").arg(contador));
        return;
    }

    Dataset* usuarios = Dados->Usuarios;
    if (!usuarios->active()) usuarios->open();
    if (usuarios->isEditing() || !usuarios->locate({QStringLiteral("ID")}, {id})) {
        erro(QStringLiteral("Usuário não Encontrado!"));
        return;
    }

    // ---- the temporary password is kept only when it was delivered
    const QString temporaria = GerarSenhaAleatoria(8, true, true, true, true);
    auto semCelular = [] {
        erro(QStringLiteral("Não foi possível enviar a nova senha: não há celular no seu cadastro.") + u'\n' +
             QStringLiteral("Sua senha não foi alterada. Procure o administrador do sistema."));
    };
    if (celular.isEmpty()) {
        semCelular();
        return;
    }
    Dataset* empresas = Dados->Empresas;
    if (!empresas->active()) empresas->open();
    const QString razao = empresas->isEmpty() ? QString() : empresas->value(QStringLiteral("RAZAOSOCIAL")).toString();

    // The user's row is held before anything is sent, so that a password that went out can always
    // be stored: another workstation changing the row now refuses the recovery here (nowait), and
    // none can take the row while the gateway is waited for. A transaction of its own on the same
    // connection: a refusal rolls back the hold alone.
    fb::Transaction troca(Dados->fatura);
    bool existe = false;
    {
        fb::Statement q(Dados->fatura, troca, QStringLiteral("SELECT CELULAR FROM USUARIOS WHERE ID = :ID WITH LOCK"));
        q.setParameter(QStringLiteral("ID"), id);
        q.execute();
        existe = q.fetch();
        // The number as it is now, while nobody else can change it.
        celular = existe ? q.value(0).toString().trimmed() : QString();
        q.close();
    }
    if (!existe) { // deleted meanwhile
        troca.rollback();
        erro(QStringLiteral("Usuário não Encontrado!"));
        return;
    }
    if (celular.isEmpty()) {
        troca.rollback();
        semCelular();
        return;
    }

    const GatewayWhatsApp::Resultado envio =
        gateway_.envia(BuscaConfiguracao(QStringLiteral("tokenwhatappgw")), celular,
                       textoMensagem(temporaria, sessao().NomeAplicativo, razao));
    if (!envio.enviado) {
        troca.rollback();
        erro(QStringLiteral("Não foi possível enviar a nova senha pelo Whatsapp: %1.").arg(envio.motivo) + u'\n' +
             QStringLiteral("Sua senha não foi alterada."));
        return;
    }

    {
        fb::Statement u(Dados->fatura, troca,
                        QStringLiteral("UPDATE USUARIOS SET SENHA = :SENHA, SOLICITASENHA = :SOLICITASENHA\n"
                                       "WHERE ID = :ID"));
        u.setParameter(QStringLiteral("SENHA"), temporaria);
        u.setParameter(QStringLiteral("SOLICITASENHA"), QStringLiteral("S"));
        u.setParameter(QStringLiteral("ID"), id);
        u.execute();
    }
    troca.commit();
    // The shared list shows the row as it is stored now.
    usuarios->refresh();
    informa(QStringLiteral("Foi enviado para seu Whatsapp sua nova senha temporária."));
    close();
}
