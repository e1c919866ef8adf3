#pragma once
// The program catalogue (one PROGRAMAS row per menu entry, with its place in the menu) and the
// rights of each user on each program (ACESSOS: add, change, delete).
// No widgets here: the main window describes its live menu with ItemMenu (app/menuacessos.h).

#include <QString>
#include <functional>
#include <vector>

// One entry of the main menu as the catalogue sees it.
struct ItemMenu
{
    QString caption;                // as shown, accelerator marks included; "-" is a separator
    int Tag = 0;                    // not 0: the entry is left out of the catalogue
    std::function<void()> habilita; // enables the live entry (may be empty)
    std::vector<ItemMenu> sub;      // the entries under it
};

// The text without any "&".
QString tiraEcomercial(const QString& texto);

// Registers the program in the catalogue when it is missing (a row that cannot be stored is
// dropped silently) and answers whether the logged-in user may use it: the administrator always;
// another user when a rights row exists for the program, and then Acessos is left on that row
// when the dataset holds it. w_TipoOpcao is accepted for the callers' sake and changes nothing.
// A database error of the rights query reaches the caller.
bool BuscaProg(const QString& rotina, int w_Horizontal, int w_Vertical, int w_SubMenu,
               const QString& w_TipoOpcao = QStringLiteral("F"));

// Empties the catalogue and fills it again from the menu: every second- and third-level entry
// whose caption is not "-" and whose Tag is 0. Top-level and second-level entries are enabled on
// the way. A row that cannot be stored gives a warning and the rebuild goes on. Returns the text
// to show at the end.
QString GeraControleAcesso(const std::vector<ItemMenu>& menu);

// Puts Acessos on the rights rows of one user (done at the accepted login, so that screens read
// the rights of the user who is working rather than the administrator's).
void SelecionaAcessos(int usuario);

// The rights a screen applies to its add, change and delete commands.
struct Direitos
{
    bool incluir = false;
    bool alterar = false;
    bool excluir = false;
};
// From the current Acessos row (where BuscaProg left it): "S" grants, anything else refuses. The
// administrator gets everything; a row that is not the logged-in user's grants nothing.
Direitos DireitosAtuais();
// Reads the logged-in user's rights on the program from the database (Acessos is selected again on
// that user's rows and left on the program's row), so that a right granted during the session works
// the next time the screen asks; no row grants nothing.
Direitos DireitosDoPrograma(const QString& rotina);

// The parameter DireitosEmTodasAsTelas is "S": the meal, client and export screens apply the rights
// too. Without it they allow everything, as they always did.
bool DireitosEmTodasAsTelas();
// The rights of a screen that restricts its commands only under DireitosEmTodasAsTelas: every
// right (and no database read) without the parameter, DireitosDoPrograma with it.
Direitos DireitosDaTela(const QString& rotina);

// The catalogue with every entry of the menu: an empty one is built as "&Mapear Menu" does; one
// that has rows gets only the entries it misses (the ones no screen has registered yet).
void CompletaCatalogo(const std::vector<ItemMenu>& menu);
