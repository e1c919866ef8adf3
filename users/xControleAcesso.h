#pragma once
// "Controle de Acesso": the administrator gives each user the rights to add, change and delete on
// every program of the catalogue, without typing SQL. The users on the left (blocked ones marked
// and unblocked from here), the programs in menu order on the right with their three ticks; a tick
// in a column heading sets or clears the whole column. Saving writes the user's ACESSOS rows,
// committed at once; cancelling shows what is stored again. The administrator (user 1) has every
// right and its row cannot be changed. Only the administrator works here.

#include "common/acessos.h"

#include <QHash>
#include <QWidget>
#include <functional>

class QLabel;
class QTableWidget;
class QTableWidgetItem;
class QToolButton;

class TControleAcesso : public QWidget
{
    Q_OBJECT
public:
    // menu describes the main menu, for building the catalogue when it is empty (none: the
    // catalogue is shown as stored).
    explicit TControleAcesso(QWidget* parent = nullptr, std::function<std::vector<ItemMenu>()> menu = {});
    ~TControleAcesso() override;

    static QString programa() { return QStringLiteral("Controle de Acesso"); }

    // Columns of the rights grid.
    enum Coluna { ColPrograma = 0, ColIncluir = 1, ColAlterar = 2, ColExcluir = 3 };

    // ---- actions ----
    void ConfirmarClick();
    void NaoConfirmarClick();
    void CopiarDeClick();
    void DesbloquearClick();
    // Ticks (marcar) or clears a whole column, as a click on its heading does.
    void marcaColuna(int coluna, bool marcar);
    // Coming back to the screen: the users and the rights as stored now (unless a change is open).
    void FormActivate();

    // The user whose rights are shown (0: none).
    int usuarioAtual() const { return usuario_; }
    bool editando() const { return editando_; }
    // Selects a user in the list; false when it is not there or a change is open.
    bool selecionaUsuario(int usuario);
    // The rights shown for a program, as "SNS" (Incluir, Alterar, Excluir); empty when not listed.
    QString direitosMostrados(const QString& programa) const;
    QStringList programas() const;

private:
    void montaTela();
    void carregaUsuarios();
    void carregaProgramas();
    void carregaDireitos();
    void mostraDireitos(const QHash<QString, QString>& direitos);
    QHash<QString, QString> direitosGravados(int usuario) const;
    bool gravaDireitos();
    void mudouMarca(QTableWidgetItem* item);
    void atualizaEstado();
    void atualizaCabecalho();
    bool administradorSelecionado() const { return usuario_ == 1; }
    int linhaDe(int usuario) const; // row of the user in the list, -1 when not listed
    QString ativoDe(int usuario) const;

    std::function<std::vector<ItemMenu>()> menu_;
    int usuario_ = 0;
    bool editando_ = false;
    bool carregando_ = false;
    QHash<QString, QString> gravados_; // the rights as loaded, by program

    QLabel* Estado;
    QLabel* LabelUsuarios;
    QTableWidget* GridUsuarios;
    QLabel* LabelDireitos;
    QTableWidget* GridDireitos;
    QLabel* Aviso;
    QToolButton* CopiarDe;
    QToolButton* Desbloquear;
    QToolButton* Confirmar;
    QToolButton* NaoConfirmar;
};
