#pragma once
// The About window ("A respeito sobre o Sistema..."): the product's name and version from the
// program's version information, the maker's details and links, the company the installation
// belongs to. A borderless rounded window, 548 pixels wide, that folds away when "Fechar" is
// clicked and opens at full size again.

#include <QDialog>
#include <QMap>
#include <optional>

class QLabel;
class QTabWidget;

class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    // Version information keys and values; std::nullopt: the program carries none.
    using InformacaoVersao = std::optional<QMap<QString, QString>>;

    explicit TAboutBox(QWidget* parent = nullptr);

    // The program's own version information (compiled in: there is no version resource here).
    static InformacaoVersao informacaoVersaoPrograma();
    // Shows the values of Productname, Fileversion, Legalcopyright and Comments; a key that is
    // absent, or no information at all, leaves the label's design text.
    void mostraVersao(const InformacaoVersao& info);

    // Each activation: full size again.
    void FormActivate();
    // "Fechar": folds the window away 10 pixels at a time, then closes it.
    void FecharClick();
    void SiteClick();
    void EmailClick();

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QLabel* faixa(const QString& texto, const char* nome);

    QLabel* PanelTitulo;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Comments;
    QLabel* Copyright;
    QLabel* w_NomeEmpresa;
    QLabel* w_Telefone;
    QLabel* w_Endereco;
    QLabel* w_Site;
    QLabel* w_Email;
    QLabel* w_Revendedor;
    QLabel* w_Empresa;
    QTabWidget* PageControl;
    QLabel* Fechar;
    QString email_;
};
