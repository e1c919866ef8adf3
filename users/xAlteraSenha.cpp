#include "users/xAlteraSenha.h"

#include "common/dialogos.h"
#include "common/sessao.h"
#include "common/ui/relatorioerro.h"
#include "data/arquivos.h"
#include "users/senhas.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QLineEdit* caixaSenha(QWidget* pai, const char* nome)
{
    auto* e = new QLineEdit(pai);
    e->setObjectName(QString::fromLatin1(nome));
    e->setEchoMode(QLineEdit::Password);
    // No length limit here: a box of stars that stopped taking characters would cut the
    // password unseen. The change refuses a password longer than the column holds.
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    e->setMinimumWidth(180);
    return e;
}

void corDoTexto(QLineEdit* e, const QColor& cor)
{
    QPalette p = e->palette();
    if (p.color(QPalette::Text) == cor) return;
    p.setColor(QPalette::Text, cor);
    e->setPalette(p);
}

} // namespace

TAlteraSenha::TAlteraSenha(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("AlteraSenha"));
    setWindowTitle(QStringLiteral("   Alterar Senha"));
    setModal(false);

    w_SenhaAntiga = caixaSenha(this, "w_SenhaAntiga");
    w_NovaSenha = caixaSenha(this, "w_NovaSenha");
    w_ConfirmaSenha = caixaSenha(this, "w_ConfirmaSenha");
    Alterar = new QPushButton(QStringLiteral("Alterar"), this);
    Alterar->setObjectName(QStringLiteral("Alterar"));
    Alterar->setDefault(true);
    Cancela = new QPushButton(QStringLiteral("Cancela"), this);
    Cancela->setObjectName(QStringLiteral("Cancela"));
    Cancela->hide(); // the change is not optional

    auto* g = new QGridLayout;
    auto linha = [&](int n, const QString& texto, QLineEdit* caixa) {
        auto* l = new QLabel(texto, this);
        l->setBuddy(caixa);
        g->addWidget(l, n, 0);
        g->addWidget(caixa, n, 1);
    };
    linha(0, QStringLiteral("Digite a Senha Antiga"), w_SenhaAntiga);
    linha(1, QStringLiteral("Digite a Nova Senha"), w_NovaSenha);
    linha(2, QStringLiteral("Confirme a Nova Senha"), w_ConfirmaSenha);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(Alterar);
    botoes->addWidget(Cancela);
    auto* v = new QVBoxLayout(this);
    v->addLayout(g);
    v->addLayout(botoes);
    setFixedSize(sizeHint());

    connect(w_ConfirmaSenha, &QLineEdit::textChanged, this, &TAlteraSenha::w_ConfirmaChange);
    connect(w_NovaSenha, &QLineEdit::textChanged, this, &TAlteraSenha::w_ConfirmaChange);
    connect(Alterar, &QPushButton::clicked, this, [this] { protegido([&] { AlterarClick(); }); });
    w_ConfirmaChange();
}

void TAlteraSenha::w_ConfirmaChange()
{
    // Only the lengths are compared: a hint while typing, not a check.
    corDoTexto(w_ConfirmaSenha,
               w_ConfirmaSenha->text().size() == w_NovaSenha->text().size() ? QColor(Qt::black) : QColor(0xFF, 0, 0));
}

bool TAlteraSenha::AlterarClick()
{
    const QString antiga = w_SenhaAntiga->text();
    const QString nova = w_NovaSenha->text();
    const QString confirmacao = w_ConfirmaSenha->text();
    if (const QString problema = mensagemTamanhoSenha(nova); !problema.isEmpty()) {
        simples(problema);
        w_NovaSenha->setFocus();
        return false;
    }

    bool ok = false;
    const int usuario = sessao().UsuarioEmUso.trimmed().toInt(&ok);
    if (!ok) throw fb::Error(QStringLiteral("Nenhum usuário conectado ao sistema"));
    // The stored password is read from the database by key: the shared list may stand elsewhere.
    QString guardada;
    {
        fb::Statement q(Dados->fatura, Dados->TransFatura, QStringLiteral("SELECT SENHA FROM USUARIOS WHERE ID = :ID"));
        q.setParameter(QStringLiteral("ID"), usuario);
        q.execute();
        if (!q.fetch()) throw fb::Error(QStringLiteral("Usuário não Encontrado!"));
        guardada = q.value(0).toString(); // no password matches an empty old password
        q.close();
    }
    if (guardada != antiga) {
        erro(QStringLiteral("Senha antiga não confere."));
        w_SenhaAntiga->setFocus();
        return false;
    }
    if (nova != confirmacao) {
        erro(QStringLiteral("Senhas não coincidem."));
        w_ConfirmaSenha->setFocus();
        return false;
    }
    gravaSenha(usuario, confirmacao);
    alterada_ = true;
    accept();
    return true;
}

void TAlteraSenha::gravaSenha(int usuario, const QString& senha)
{
    Dataset* lista = Dados->Usuarios;
    // A user being written in the registry would be saved over the new password afterwards.
    if (lista->isEditing())
        throw fb::Error(QStringLiteral("Conclua ou cancele a alteração em andamento no Cadastro de Usuários antes de "
                                       "alterar a senha"));
    fb::Statement u(Dados->fatura, Dados->TransFatura,
                    QStringLiteral("UPDATE USUARIOS SET SENHA = :SENHA, SOLICITASENHA = 'N' WHERE ID = :ID"));
    u.setParameter(QStringLiteral("SENHA"), senha);
    u.setParameter(QStringLiteral("ID"), usuario);
    u.execute();
    Dados->TransFatura.commitRetaining();

    // The shared list shows the new values, on the row it was on.
    if (lista->active()) {
        const QVariant atual = lista->isEmpty() ? QVariant() : lista->value(QStringLiteral("ID"));
        lista->close();
        lista->open();
        if (atual.isValid()) lista->locate({QStringLiteral("ID")}, {atual});
    }
}

void TAlteraSenha::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // Centred on the main window (or on the screen without one).
    QWidget* pai = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = pai ? pai->frameGeometry() : (screen() ? screen()->availableGeometry() : QRect());
    if (area.isValid()) move(area.center() - rect().center());
    w_SenhaAntiga->setFocus();
}

void TAlteraSenha::reject() {}

void TAlteraSenha::closeEvent(QCloseEvent* e)
{
    if (alterada_)
        e->accept();
    else
        e->ignore();
}
