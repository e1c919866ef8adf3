#pragma once
// The client record screen ("Cadastro de Pessoas"): one client at a time from the shared client
// dataset, with the standard include/alter/delete/save/cancel buttons, the four navigation buttons,
// go-to boxes for code, identity document and CPF, the search list by name, and the rules of the
// client record bound to its boxes. The screen is destroyed when it is closed.

#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class DBCheckBox;
class DBComboBox;
class DBEdit;
class DBLookupComboBox;
class DBMemo;
class Dataset;
class QAbstractButton;
class QFrame;
class QLabel;
class QMdiSubWindow;
class QPushButton;
class QTabWidget;
class QToolButton;
class QVBoxLayout;
#include "clients/xConsultaListaPac.h" // QPointer needs the complete type
class TelaCadastro;

class TCad_Cliente : public QWidget
{
    Q_OBJECT
public:
    explicit TCad_Cliente(QWidget* parent = nullptr);
    ~TCad_Cliente() override;

    // Whether Incluir, Alterar and Excluir may be enabled (set when the screen is created).
    bool PacPodeIncluir = true;
    bool PacPodeAlterar = true;
    bool PacPodeExcluir = true;
    // Colour of an empty to-be-filled box.
    QColor xColor{0xF0, 0xB7, 0xBC};
    // Cached values of the parameters BuscaRG and BuscaCPF (read again while empty).
    QString xBuscaRG;
    QString xBuscaCPF;

    // ---- actions (buttons and keys) ----
    void ActIncluirExecute();
    void ActEditarExecute();
    void ExcluirClick();
    void ActGravarExecute();
    void ActCancelarExecute();
    void NavegaClick(int atitude); // Button1..Button4: 1 first, 2 previous, 3 next, 4 last
    void BotaoCodigoClick();       // go to code (F6)
    void SpeedButton5Click();      // go to identity document
    void SpeedButton6Click();      // go to CPF
    void BotaoNomeClick();         // the search list (F3)
    void w_CopiaClick();           // the previous new client's address
    void Button5Click();           // "Fotografar"
    void Topo();                   // the button bar just under the top strip
    void Abaixo();                 // the button bar back at the bottom
    // The screen became the active screen of the main window: the remembered address is forgotten.
    void FormActivate();
    // Closes the screen (and its window in the main window); the screen is then destroyed.
    void fecha();

    // The search list of this screen (created at the first search by name).
    TConsultaListaPac* listaPacientes() const;

Q_SIGNALS:
    void fechada();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void montaTela();
    void ligaCampos();
    void configuraTela();
    void abreCliente();

    // Rules run when the focus leaves a box; false: leaving is refused.
    bool saidaDe(QWidget* caixa);
    bool w_NomeExit();
    void w_NomeChange();
    void w_CPFExit();
    void w_IDENTIDADEExit();
    bool w_TELEFONEExit(DBEdit* caixa);
    void w_MAEExit();
    void w_BairroExit();
    void w_CEPExit();
    void DataSourceDataChange();
    void DataSourceStateChange();
    void MudancaDeFoco();

    QString idAtual() const;
    void clicaUltimo();
    void ligaAreaMdi();

    Dataset* Cliente;
    TelaCadastro* tela_;
    QPointer<TConsultaListaPac> ConsultaListaPac;
    QPointer<QMdiSubWindow> ultimaAtiva_;
    bool areaLigada_ = false;
    QStringList enderecoNovo_; // the new client's address while it is saved

    QVBoxLayout* principal_;
    QFrame* PanelTopo;
    DBEdit* w_ID;
    QToolButton* BotaoCodigo;
    DBCheckBox* w_Paciente;
    QTabWidget* PageControl;
    QFrame* GrupoDadosGerais;
    QLabel* TituloDadosGerais;
    QLabel* LabelNome;
    QLabel* LabelApelido;
    DBEdit* w_Nome;
    QToolButton* BotaoNome;
    DBEdit* w_Apelido;
    DBEdit* w_NASC;
    DBComboBox* w_Sexo;
    DBEdit* w_CPF;
    QToolButton* SpeedButton6;
    DBEdit* w_IDENTIDADE;
    QToolButton* SpeedButton5;
    DBEdit* w_RGOrgao;
    DBLookupComboBox* DBLookupComboBox1;
    DBEdit* DBEdit47;
    DBComboBox* w_Cor;
    DBEdit* w_NATURALIDADE;
    DBEdit* w_PAI;
    DBEdit* w_MAE;
    DBComboBox* w_EstadoCivil;
    DBComboBox* w_Escolaridade;
    QLabel* Foto;
    QPushButton* Button5;
    DBEdit* w_CEP;
    DBLookupComboBox* DBLookupComboBox2;
    DBComboBox* w_Cidade;
    DBComboBox* w_Bairro;
    DBEdit* w_ENDERECO;
    QToolButton* w_Copia;
    DBEdit* w_Numero;
    DBEdit* w_Complemento;
    DBEdit* w_CELULAR;
    DBEdit* w_TELEFONE;
    DBEdit* w_mail;
    DBMemo* DBMemo1;
    QFrame* Barra;
    QLabel* Estado;
    QToolButton* Button1;
    QToolButton* Button2;
    QToolButton* Button3;
    QToolButton* Button4;
    QToolButton* Incluir;
    QToolButton* Alterar;
    QToolButton* Excluir;
    QToolButton* Confirmar;
    QToolButton* NaoConfirmar;
    QPushButton* Fechar;
};
