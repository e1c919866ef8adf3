#pragma once
// The meal receipt (report Cupom): company, barcode of the meal number, the meal's date, time,
// consumer and weight, and a signature line with the printing moment. Laid out in millimetres on
// a 72.76 x 118.53 mm page, rendered with QPainter to a printer, a PDF file or the preview.

#include "data/firebird.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QRectF>
#include <QStringList>
#include <QTime>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

class QPainter;
class QPagedPaintDevice;
class QPageLayout;

// A printer that is missing or refuses the receipt; the text says which and why.
class ErroImpressora : public std::runtime_error
{
public:
    explicit ErroImpressora(const QString& motivo) : std::runtime_error(motivo.toStdString()) {}
};

// Company lines at the top of the receipt; the caller fills them from the company record.
struct DadosEmpresaCupom
{
    QString fantasia, cnpj, cidade;
};

// The barcode element of the detail band. Made once and kept for the report's life; each print
// only changes its text.
struct CodigoBarrasCupom
{
    QRectF caixa;            // millimetres, on the detail band
    QString simbologia;      // "Code 128 A"
    double modulo = 1;       // layout pixels (1/96 inch)
    double razao = 2.5;      // wide-to-narrow; Code 128 has fixed module widths
    double alturaBarra = 35; // layout pixels
    QString texto;
};

class TCupom : public QObject
{
    Q_OBJECT

public:
    using Relogio = std::function<QDateTime()>;

    // The query runs on the program's connection and transaction, which outlive the report.
    TCupom(fb::Attachment& fatura, fb::Transaction& transacao, QObject* parent = nullptr);
    ~TCupom() override;

    // Receipt query Refeicao as numbered lines (from 0). Line 3 is the WHERE line: the meal screen
    // writes "WHERE A.ID=0" followed by the meal's key; while it holds ":ID", setId's key is bound.
    QStringList linhas() const { return linhas_; }
    void setLinha(int n, const QString& texto);
    void setId(double id) { id_ = id; }

    void setEmpresa(const DadosEmpresaCupom& empresa) { empresa_ = empresa; }
    const DadosEmpresaCupom& empresa() const { return empresa_; }
    // Source of the printing date and time.
    void setRelogio(Relogio relogio);
    // The consumer's CPF printed as ***.456.789-** instead of whole.
    void setMascaraCpf(bool sim) { mascaraCpf_ = sim; }

    // Title of the preview window, the print job and the PDF.
    static QString titulo();

    // Opens the query and prepares the barcode; false when the query brings no row (nothing is
    // printed then). The query stays open until QuickRepAfterPrint.
    bool QuickRepBeforePrint();
    void QuickRepAfterPrint();
    bool consultaAberta() const { return consulta_ != nullptr; }

    // Whole print runs (open, render, close). False, and no page, when there is no row.
    bool imprimir(QPagedPaintDevice& dispositivo);
    bool salvarPdf(const QString& arquivo);
    // Prints at once, without preview or dialog, on the printer named (empty: the system's
    // default printer; a path ending in ".pdf": that file). False when there is no row. A printer
    // that is missing or refuses the page throws ErroImpressora.
    bool imprimirDireto(const QString& impressora);
    // Opens the maximised preview, fitted to the page, from which the operator prints or saves a
    // PDF. False, and no window, when there is no row.
    bool Preview();

    // nullptr until the first print.
    const CodigoBarrasCupom* codigoBarras() const { return codigoBarras_.get(); }

    // Page: 72.76 x 118.53 mm, portrait, 1 mm margins.
    static QPageLayout layoutPagina();

    // "#,###.000" with comma decimals and period thousands, whatever the workstation's locale:
    // 0.450 -> ",450", 1234.5 -> "1.234,500".
    static QString formataPeso(double peso);
    // The stored digits through the CPF mask: 12345678909 -> 123.456.789-09.
    static QString formataCpf(const QString& cpf);

private:
    struct Linha
    {
        double id = 0;
        QDate data;
        QTime hora;
        QString cpf, nome;
        double peso = 0;
        QDateTime impressao;
    };

    // Paints the page from the row read by QuickRepBeforePrint; the painter is active on a device
    // set up with layoutPagina().
    void desenhaPagina(QPainter& painter) const;
    void gravaPdf(const QString& arquivo) const;

    fb::Attachment& fatura_;
    fb::Transaction& transacao_;
    QStringList linhas_;
    std::optional<double> id_;
    DadosEmpresaCupom empresa_;
    Relogio relogio_;
    std::unique_ptr<fb::Statement> consulta_;
    std::optional<Linha> linha_;
    std::unique_ptr<CodigoBarrasCupom> codigoBarras_;
    bool mascaraCpf_ = false;
};
