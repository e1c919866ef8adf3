#pragma once
// "Analítico por Dia": the meals of a period day by day (meals, distinct consumers, weight served)
// with the period's totals, a chart, the consumers of the period, the printed A4 report and the
// CSV the funder's spreadsheet opens. Read-only: it never writes a row.

#include "common/analiticodia.h"
#include "data/firebird.h"

#include <QDate>
#include <QWidget>

class QDateEdit;
class QPagedPaintDevice;
class QPainter;
class QPageLayout;
class QPushButton;
class QAbstractItemModel;
class QStandardItemModel;
class QTableView;
class QChartView;

class TAnaliticoDia : public QWidget
{
    Q_OBJECT

public:
    // On the program's connection and transaction (Dados).
    explicit TAnaliticoDia(QWidget* parent = nullptr);
    // outra: another connection to the same database, with which a long period is read in two
    // halves at once.
    TAnaliticoDia(fb::Attachment& banco, fb::Transaction& transacao, analitico::Conexao outra = {},
                  QWidget* parent = nullptr);
    ~TAnaliticoDia() override;

    void setPeriodo(const QDate& de, const QDate& ate);
    // "Gerar": reads the period's figures into the tables and the chart.
    void GerarClick();
    // "Imprimir": the A4 preview, from which it is printed or saved as PDF.
    void ImprimirClick();
    // "Exportar CSV": the day table as a file a spreadsheet in Portuguese opens as is.
    void ExportarCsvClick();

    // The report as printed, without the preview (false when nothing was generated).
    bool imprimir(QPagedPaintDevice& dispositivo);
    bool salvarPdf(const QString& arquivo);
    static QPageLayout layoutPagina();
    // The day table as CSV, UTF-8 with a BOM.
    QByteArray csv() const;

    const QList<FiguraDia>& dias() const { return dias_; }
    const FiguraDia& total() const { return total_; }
    // The consumers of the period; their names are read when the report is printed.
    const QList<FiguraConsumidor>& consumidores() const { return consumidores_; }

    // How long the last "Gerar" took in each of its steps, in milliseconds (for the benchmark).
    struct Tempos
    {
        double leitura = 0, tabelas = 0, grafico = 0;
    };
    const Tempos& tempos() const { return tempos_; }

private:
    void monta();
    void mostra();
    void atualizaGrafico();
    void completaNomes();
    // Paints every page; returns the page count.
    int desenha(QPainter& painter, QPagedPaintDevice& dispositivo) const;
    QString titulo() const;

    fb::Attachment& banco_;
    fb::Transaction& transacao_;
    analitico::Conexao outra_;
    bool gerado_ = false;
    bool nomesLidos_ = false; // consumidores_ has its names
    int larguraNome_ = -1;    // of the consumers' name column, kept when the operator widens it
    QDate de_, ate_;
    QList<FiguraDia> dias_;
    FiguraDia total_;
    QList<FiguraConsumidor> consumidores_;
    QString fantasia_, cnpj_;
    Tempos tempos_;

    QDateEdit* w_De = nullptr;
    QDateEdit* w_Ate = nullptr;
    QPushButton* Gerar = nullptr;
    QPushButton* Imprimir = nullptr;
    QPushButton* ExportarCSV = nullptr;
    QTableView* Dias = nullptr;
    QTableView* Consumidores = nullptr;
    QStandardItemModel* modeloDias_ = nullptr;
    QAbstractItemModel* modeloConsumidores_ = nullptr;
    QChartView* Grafico = nullptr;
};
