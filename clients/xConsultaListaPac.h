#pragma once
// The client search list ("Lista de Pacientes"): finds clients by name while the operator types
// (one query per pause in typing, not one per key), or by CPF, identity document or mother's name,
// and makes the confirmed client the one of the shared client dataset. It never edits a client.

#include "data/dataset.h"

#include <QDialog>

class DBGrid;
class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QTimer;

// Accents folded to plain letters and the apostrophe to a blank (so "D'AVILA" searches "D AVILA").
QString SemAcentoPac(const QString& texto);

class TConsultaListaPac : public QDialog
{
    Q_OBJECT
public:
    explicit TConsultaListaPac(QWidget* parent = nullptr);
    ~TConsultaListaPac() override;

    // Lists all clients from "A" on (as many as the row limit of the last search allows) and shows
    // the list modally; returns the window's result code.
    int ShowPaciente();
    // Shows the list modally on its current rows.
    int ShowModalParts();

    // The highlighted row: its ID and its CPF (0 / "" when the list is empty).
    int CodigoPacNo() const;
    QString MatriculaPacNo() const;

    Dataset* Query1 = nullptr;
    QTimer* Timer1 = nullptr;
    // Timer ticks since the last keystroke, and whether a name search is pending.
    int w_Tempo = 0;
    bool w_Stado = false;

    // One tick of the 75 ms timer: runs the name search on the 11th quiet tick.
    void Timer1Timer();
    // Confirming the highlighted client ("&Ok", double click, Enter).
    void BitBtn1Click();
    // The button searches: identity document, CPF, mother's name.
    void BitBtn3Click();
    void BitBtn5Click();
    void BitBtn6Click();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void FormActivate();
    void DataSourceDataChange();
    void w_BuscaChange();
    bool w_BuscaKeyDown(int tecla);
    void buscaPorBotao(const QString& condicao, const QString& valor);
    void defineBotaoPadrao(QPushButton* botao);
    // Re-opens Query1 with its select and condition lines; the condition's text goes in BUSCA and,
    // when given, a second one in LITERAL.
    void abre(const QString& linha0, const QString& linha4, const QVariant& valor,
              const QVariant& valorLiteral = QVariant());

    QFrame* PanelTopo;
    QLineEdit* w_Busca;
    QCheckBox* w_BuscaParcial;
    QLineEdit* Edit2;
    QLineEdit* w_Busca1;
    QLineEdit* Edit1;
    QPushButton* BitBtn6;
    QPushButton* BitBtn3;
    QPushButton* BitBtn5;
    DBGrid* DBGrid1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    bool seguindo_ = true; // the boxes follow the highlighted row (not while the focus is in w_Busca)
};
