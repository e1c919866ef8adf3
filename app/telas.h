#pragma once
// The screens the main window opens, by the name of the menu entry that opens them ("Opcao00",
// "Opcao10", ...), plus the password change window under "TAlteraSenha". Each has the function
// that creates it and the way it lives in the frame. The main window knows no screen class: the
// program fills this at start (registraTelasDoSistema) and tests register screens of their own.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

using FabricaTela = std::function<QWidget*(QWidget* parent)>;

struct Tela
{
    enum class Exibicao {
        Filha,  // maximised child window of the frame
        Modal,  // separate window shown modally each time (About)
        Janela, // separate window, not modal (password change)
    };
    enum class Fechamento {
        Minimiza,  // title-bar buttons; closing only minimises it inside the frame (weighing, export)
        Destroi,   // no title-bar buttons; destroyed when closed (by its own button) and created again
                   // on the next choice (clients)
        SemBotoes, // no title-bar buttons, never closed (users, company)
    };

    FabricaTela cria;
    Exibicao exibicao = Exibicao::Filha;
    Fechamento fechamento = Fechamento::Minimiza;
};

namespace telas {
// Name of the password change window in the registry.
inline const QString AlteraSenha = QStringLiteral("TAlteraSenha");

// Registers (or replaces) the screen of an entry.
void registra(const QString& entrada, const Tela& tela);
void remove(const QString& entrada);
void limpa();
// The screen of an entry, or nullptr when the entry opens nothing (yet).
const Tela* de(const QString& entrada);
QStringList entradas();
} // namespace telas

// Registers every screen this build has.
void registraTelasDoSistema();
