#pragma once
// The main window: the frame every working screen opens in, its menu, the top bar and the status
// bar, the home panel, the login at the first paint and the exit with the logout time.

#include "data/firebird.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QFrame;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolButton;

class TPrincipal : public QMainWindow
{
    Q_OBJECT
public:
    explicit TPrincipal(QWidget* parent = nullptr);
    ~TPrincipal() override;

    // Top bar.
    QFrame* PanelAtalho;
    QToolButton* Casa;
    QLabel* LabelTopo;
    QLabel* Label1;
    QFrame* PanelIcones;
    QToolButton* SpeedButton27;
    // Status bar.
    QFrame* w_URL;
    QLabel* Label10;
    QLabel* w_Usuario;
    QLabel* w_UsuarioNome;
    QLabel* w_Arquivos;
    QLabel* LabelVersao;
    // Home panel over the frame's client area.
    QFrame* PanelPrincipal;
    QFrame* PanelTopo1;
    QMdiArea* AreaTelas;

    // MenuPrincipal.
    QMenu* Menu_Cadastro;
    QAction* Opcao00;
    QAction* Opcao01;
    QAction* Opcao06;
    QMenu* Lanamentos1;
    QAction* Opcao10;
    QMenu* Relatrios1;
    QMenu* Opcao20;
    QAction* Opcao200;
    QMenu* Utilitrios1;
    QAction* ExiberEsconderBarradeAtalho1;
    QAction* N5;
    QAction* Opcao35;
    QAction* Opcao36;
    QAction* Opcao311;
    QAction* SincronizarDados1;
    QMenu* Sobre1;
    QAction* Sobre2;

    // AcaoPadrao: edit commands on the focused text box, and the field information box.
    QObject* AcaoPadrao;
    QAction* Action1;

    bool PrimeiraVez = true; // until the first login is accepted
    bool Login = false;      // the login window is due at the next paint

    // The supplier line of the top bar and the status bar.
    static QString linhaFornecedor();

    // Opens the screen of a menu entry (see app/telas.h): a child screen is created once and
    // afterwards only maximised; a modal one is shown modally. Returns the screen, or nullptr when
    // the entry has none.
    QWidget* AbrirForm(const QString& entrada);
    // The screen of an entry while it exists.
    QWidget* tela(const QString& entrada) const;
    QMdiSubWindow* subJanela(const QString& entrada) const;

    // The text of the field information box for a control (or a widget inside one); empty when
    // the control is not bound to a dataset.
    static QString informacoesDoCampo(QWidget* controle);

    // Opens the connection and the transaction if they were closed.
    static void ExecutarComandosSQL();

public Q_SLOTS:
    void Opcao00Click();
    void Opcao06Click();
    void Opcao10Click();
    void Opcao36Click();
    void SincronizarDados1Click();
    void Sobre1Click();
    void Opcao311Click();
    void ExiberEsconderBarradeAtalho1Click();
    void CasaClick();
    void SpeedButton27Click();
    void Action1Execute();
    // The login step of the first paint.
    void FormPaint();
    // The system asks the program to end (shutdown, logout): no question, the session's exit
    // written and the connection closed as on the program's own exit; what is being typed is lost.
    void terminaPorSinal();

Q_SIGNALS:
    // The run is over: the login was cancelled or the exit was confirmed (one second before the
    // window goes).
    void encerrando();

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    // The open screens with a record being edited or inserted, by name.
    QStringList telasEmEdicao() const;
    void FormClose();
    void criaBarraAtalho();
    void criaBarraStatus();
    void criaPainelPrincipal();
    void criaMenu();
    void criaAcoes();
    // The common part of the menu handlers of the child screens.
    void abreTelaDoMenu(const QString& entrada, const QString& titulo, int horizontal, int vertical);
    void registraSaida();
    void encerra();

    QHash<QString, QPointer<QMdiSubWindow>> subJanelas_;
    QHash<QString, QPointer<QWidget>> janelas_; // modal and separate windows
    bool pinturaFeita_ = false;
    bool saindo_ = false;   // exit confirmed, waiting the last second
    bool fechando_ = false; // the window may close now
};

// The main window of the running program.
extern TPrincipal* Principal;

// The program body after the application exists: the data module on the given database, the main
// window and the event loop. A database that cannot be reached is reported with the server's
// message and ends the start with a non-zero status.
int Comedal(const fb::ConnectionSettings& banco);
