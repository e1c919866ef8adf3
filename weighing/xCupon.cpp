#include "xCupon.h"

#include "code128.h"
#include "common/analiticodia.h"
#include "common/dialogos.h"
#include "common/mascara.h"
#include "common/texto.h"

#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QFont>
#include <QPageLayout>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>
#include <stdexcept>

namespace {

const QStringList linhasPadrao = {
    QStringLiteral("SELECT A.ID, A.DATA, A.HORA, A.CPF, C.NOME, A.PESO"),
    QStringLiteral("FROM REFEICAO A"),
    QStringLiteral("INNER JOIN CLIENTE C ON (C.CPF=A.CPF)"),
    QStringLiteral("WHERE A.ID=:ID"),
};

// The layout is written in millimetres; 1/96 inch is the unit of the barcode's and the pens'
// sizes (one layout pixel).
constexpr double mmPorPixel = 25.4 / 96.0;

constexpr double larguraBanda = 70.6;
constexpr double topoItem = 47.1;         // item band under the 47.1 mm detail band
constexpr double topoResumo = 47.1 + 4.2; // summary band under the 4.2 mm item band
constexpr double espessuraLinha = 2 * mmPorPixel;
const QRectF caixaCodigo(41.0, 6.4, 29.9, 10.6);

[[noreturn]] void falha(const QString& mensagem)
{
    throw std::runtime_error(mensagem.toStdString());
}

QFont fonte(const QString& familia, int pontos, bool negrito = false, bool italico = false)
{
    QFont f(familia);
    f.setStyleHint(familia.startsWith(u"Courier") ? QFont::Monospace : QFont::SansSerif);
    f.setPointSize(pontos);
    f.setBold(negrito);
    f.setItalic(italico);
    return f;
}

// Converts the page's millimetres into the device's own units and draws with them; fonts keep
// their real point sizes because the painter itself is never scaled.
class Pagina
{
public:
    explicit Pagina(QPainter& p) : p_(p)
    {
        sx_ = p.device()->logicalDpiX() / 25.4;
        sy_ = p.device()->logicalDpiY() / 25.4;
        QPen pen(Qt::black);
        pen.setWidthF(espessuraLinha * sx_);
        pen.setCapStyle(Qt::FlatCap);
        caneta_ = pen;
    }

    QRectF r(double x, double y, double w, double h) const { return {x * sx_, y * sy_, w * sx_, h * sy_}; }
    QPointF pt(double x, double y) const { return {x * sx_, y * sy_}; }

    // A label sized to its text: top-left at (x, y); alinhamento inside a box of width w.
    void texto(double x, double y, const QString& t, const QFont& f, double w = 0,
               Qt::Alignment alinhamento = Qt::AlignLeft)
    {
        p_.setFont(f);
        p_.setPen(Qt::black);
        p_.drawText(r(x, y, w > 0 ? w : 1, 1), int(alinhamento | Qt::AlignTop) | Qt::TextDontClip, t);
    }

    // Horizontal line whose top edge is at y.
    void horizontal(double x, double y, double w)
    {
        const double meio = y + espessuraLinha / 2;
        p_.setPen(caneta_);
        p_.drawLine(pt(x, meio), pt(x + w, meio));
    }

    // Line from the bottom-left to the top-right corner of the box.
    void diagonal(double x, double y, double w, double h)
    {
        p_.setPen(caneta_);
        p_.drawLine(pt(x, y + h), pt(x + w, y));
    }

    // Top and bottom edges of a box, inside it.
    void topoEBase(double x, double y, double w, double h)
    {
        horizontal(x, y, w);
        horizontal(x, y + h - espessuraLinha, w);
    }

    QPainter& painter() { return p_; }

private:
    QPainter& p_;
    double sx_ = 1, sy_ = 1;
    QPen caneta_;
};

// A page written into a PDF file is drawn as vectors: the barcode keeps its exact module there. A
// printer's page goes to its dots (through the print system's PDF on this platform, hence the
// output format and not the engine decides).
bool arquivoPdf(QPainter& p)
{
    QPaintDevice* d = p.device();
    if (!d) return false;
    if (d->devType() == QInternal::Printer) return static_cast<QPrinter*>(d)->outputFormat() == QPrinter::PdfFormat;
    return p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Pdf;
}

// Closes the query however the print run ends.
struct FechaConsulta
{
    TCupom& cupom;
    ~FechaConsulta() { cupom.QuickRepAfterPrint(); }
};

} // namespace

TCupom::TCupom(fb::Attachment& fatura, fb::Transaction& transacao, QObject* parent)
    : QObject(parent), fatura_(fatura), transacao_(transacao), linhas_(linhasPadrao),
      relogio_([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("Cupom"));
}

TCupom::~TCupom() = default;

void TCupom::setLinha(int n, const QString& texto)
{
    if (n < 0 || n >= linhas_.size())
        throw std::out_of_range(QStringLiteral("Linha %1 inexistente na consulta do cupom.").arg(n).toStdString());
    linhas_[n] = texto;
}

void TCupom::setRelogio(Relogio relogio)
{
    relogio_ = relogio ? std::move(relogio) : Relogio([] { return QDateTime::currentDateTime(); });
}

QString TCupom::titulo()
{
    return QStringLiteral("Cupom de Refeição");
}

QPageLayout TCupom::layoutPagina()
{
    const QPageSize tamanho(QSizeF(72.76, 118.53), QPageSize::Millimeter, QStringLiteral("Cupom"),
                            QPageSize::ExactMatch);
    return QPageLayout(tamanho, QPageLayout::Portrait, QMarginsF(1, 1, 1, 1), QPageLayout::Millimeter);
}

QString TCupom::formataPeso(double peso)
{
    if (!std::isfinite(peso)) return QString();
    const qint64 milesimos = std::llround(std::fabs(peso) * 1000.0);
    qint64 inteiro = milesimos / 1000;
    QString r = u',' + QStringLiteral("%1").arg(milesimos % 1000, 3, 10, QChar(u'0'));
    // "#,###" has no zero placeholder before the point: no integer digits under one kilogram.
    while (inteiro > 0) {
        const qint64 grupo = inteiro % 1000;
        inteiro /= 1000;
        r.prepend(inteiro > 0 ? QStringLiteral(".%1").arg(grupo, 3, 10, QChar(u'0')) : QString::number(grupo));
    }
    if (peso < 0 && milesimos > 0) r.prepend(u'-');
    return r;
}

QString TCupom::formataCpf(const QString& cpf)
{
    return mascara::valorParaTexto(QStringLiteral("000\\.000\\.000\\-00;0;_"), cpf);
}

bool TCupom::QuickRepBeforePrint()
{
    QuickRepAfterPrint();
    try {
        consulta_ = std::make_unique<fb::Statement>(fatura_, transacao_, linhas_.join(u'\n'));
        if (consulta_->hasParameter(QStringLiteral("ID")))
            consulta_->setParameter(QStringLiteral("ID"), id_ ? QVariant(*id_) : QVariant());
        consulta_->execute();

        if (!codigoBarras_) {
            codigoBarras_ = std::make_unique<CodigoBarrasCupom>();
            codigoBarras_->caixa = caixaCodigo;
        }
        codigoBarras_->simbologia = QStringLiteral("Code 128 A");
        codigoBarras_->modulo = 1;
        codigoBarras_->razao = 2.5;

        if (!consulta_->fetch()) return false;
        Linha l;
        l.id = consulta_->value(QStringLiteral("ID")).toDouble();
        l.data = consulta_->value(QStringLiteral("DATA")).toDate();
        l.hora = consulta_->value(QStringLiteral("HORA")).toTime();
        l.cpf = consulta_->value(QStringLiteral("CPF")).toString();
        l.nome = consulta_->value(QStringLiteral("NOME")).toString();
        l.peso = consulta_->value(QStringLiteral("PESO")).toDouble();
        l.impressao = relogio_();
        codigoBarras_->texto = StrZero(l.id, 6);
        linha_ = l;
        return true;
    } catch (...) {
        QuickRepAfterPrint();
        throw;
    }
}

void TCupom::QuickRepAfterPrint()
{
    consulta_.reset();
}

void TCupom::desenhaPagina(QPainter& painter) const
{
    if (!linha_ || !codigoBarras_) return;
    const Linha& l = *linha_;
    Pagina pg(painter);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    // Detail band.
    const QFont empresa = fonte(QStringLiteral("Arial"), 10, true, true);
    pg.texto(0.8, 0.8, empresa_.fantasia, empresa);
    // The company record keeps the 14 digits; its field shows them through this mask.
    pg.texto(0.5, 5.8, mascara::valorParaTexto(QStringLiteral("00\\.000\\.000\\/0000\\-00;0;_"), empresa_.cnpj),
             empresa);
    pg.texto(0.3, 10.8, empresa_.cidade, empresa);

    const CodigoBarrasCupom& cb = *codigoBarras_;
    code128::desenhar(painter, pg.r(cb.caixa.x(), cb.caixa.y(), cb.caixa.width(), cb.caixa.height()), cb.texto,
                      pg.r(0, 0, cb.modulo * mmPorPixel, 0).width(),
                      pg.r(0, 0, 0, cb.alturaBarra * mmPorPixel).height(), !arquivoPdf(painter));

    pg.horizontal(0.3, 15.1, larguraBanda);
    pg.texto(0.5, 17.2, QStringLiteral("Saida"), fonte(QStringLiteral("Arial"), 12, true, true));
    pg.diagonal(32.0, 15.6, 7.7, 9.3);
    pg.topoEBase(0.3, 23.5, 32.3, 1.3);

    const QFont rotulo = fonte(QStringLiteral("Courier New"), 8);
    const QFont valor = fonte(QStringLiteral("Arial"), 8, true);
    pg.texto(1.1, 26.2, QStringLiteral("Data....:"), rotulo);
    pg.texto(18.8, 26.2, l.data.toString(QStringLiteral("dd/MM/yyyy")), valor);
    pg.texto(36.2, 26.2, QStringLiteral("Hora:"), rotulo);
    pg.texto(46.0, 26.2, l.hora.toString(QStringLiteral("hh:mm")), valor);
    pg.texto(1.1, 30.4, QStringLiteral("Beneficiado:"), rotulo);
    pg.texto(24.3, 30.4, mascaraCpf_ ? analitico::cpfMascarado(l.cpf) : formataCpf(l.cpf), valor);
    pg.texto(1.1, 34.9, QStringLiteral("Nome:"), rotulo);
    pg.texto(11.4, 34.9, l.nome, valor);

    const QFont comum = fonte(QStringLiteral("Arial"), 8);
    pg.horizontal(0.0, 40.0, larguraBanda);
    pg.texto(0.8, 41.0, QStringLiteral("Codigo"), comum);
    pg.texto(11.9, 41.0, QStringLiteral("Descrição "), comum);
    pg.texto(62.7, 41.0, QStringLiteral("Peso"), comum);
    pg.horizontal(0.0, 45.8, larguraBanda);

    // Item band.
    pg.texto(0.8, topoItem, QStringLiteral("Refeição"), comum, 59.3);
    pg.texto(59.3, topoItem, formataPeso(l.peso), comum, 10.6, Qt::AlignRight);

    // Summary band.
    pg.horizontal(0.0, topoResumo + 0.3, 70.1);
    pg.horizontal(16.9, topoResumo + 20.6, 41.0);
    pg.texto(30.4, topoResumo + 21.2, QStringLiteral("Assinatura"), fonte(QStringLiteral("Arial"), 10));
    pg.texto(1.6, topoResumo + 25.1,
             QStringLiteral("Data: ") + l.impressao.date().toString(QStringLiteral("dd/MM/yyyy")), comum);
    pg.texto(50.8, topoResumo + 26.2,
             QStringLiteral("Horário: ") + l.impressao.time().toString(QStringLiteral("hh:mm")), comum);

    painter.restore();
}

bool TCupom::imprimir(QPagedPaintDevice& dispositivo)
{
    FechaConsulta fecha{*this};
    if (!QuickRepBeforePrint()) return false;
    dispositivo.setPageLayout(layoutPagina());
    QPainter p;
    if (!p.begin(&dispositivo)) falha(QStringLiteral("Não foi possível iniciar a impressão do cupom."));
    desenhaPagina(p);
    p.end();
    return true;
}

void TCupom::gravaPdf(const QString& arquivo) const
{
    QPdfWriter pdf(arquivo);
    pdf.setPageLayout(layoutPagina());
    pdf.setTitle(titulo());
    pdf.setCreator(QStringLiteral("Comedal"));
    QPainter p;
    if (!p.begin(&pdf)) falha(QStringLiteral("Não foi possível gravar o arquivo \"%1\".").arg(arquivo));
    desenhaPagina(p);
    if (!p.end()) falha(QStringLiteral("Não foi possível gravar o arquivo \"%1\".").arg(arquivo));
}

bool TCupom::salvarPdf(const QString& arquivo)
{
    FechaConsulta fecha{*this};
    if (!QuickRepBeforePrint()) return false;
    gravaPdf(arquivo);
    return true;
}

bool TCupom::imprimirDireto(const QString& impressora)
{
    QPrinter destino(QPrinter::HighResolution);
    const QString nome = impressora.trimmed();
    if (nome.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        destino.setOutputFormat(QPrinter::PdfFormat);
        destino.setOutputFileName(nome);
    } else {
        const QPrinterInfo info = nome.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(nome);
        if (info.isNull())
            throw ErroImpressora(nome.isEmpty()
                                     ? QStringLiteral("Nenhuma impressora padrão está configurada neste computador.")
                                     : QStringLiteral("A impressora \"%1\" não foi encontrada.").arg(nome));
        destino.setPrinterName(info.printerName());
    }
    destino.setDocName(titulo());
    destino.setFullPage(false);
    FechaConsulta fecha{*this};
    if (!QuickRepBeforePrint()) return false;
    destino.setPageLayout(layoutPagina());
    QPainter p;
    const QString qual = nome.isEmpty() ? destino.printerName() : nome;
    if (!p.begin(&destino)) throw ErroImpressora(QStringLiteral("A impressora \"%1\" recusou o cupom.").arg(qual));
    desenhaPagina(p);
    if (!p.end()) throw ErroImpressora(QStringLiteral("A impressora \"%1\" recusou o cupom.").arg(qual));
    return true;
}

bool TCupom::Preview()
{
    FechaConsulta fecha{*this};
    if (!QuickRepBeforePrint()) return false;

    QPrinter impressora(QPrinter::HighResolution);
    impressora.setPageLayout(layoutPagina());
    impressora.setDocName(titulo());

    QDialog janela;
    janela.setObjectName(QStringLiteral("PreviewCupom"));
    janela.setWindowTitle(titulo());
    janela.setWindowFlags(janela.windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    auto* layout = new QVBoxLayout(&janela);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* barra = new QToolBar(&janela);
    auto* vista = new QPrintPreviewWidget(&impressora, &janela);
    vista->setObjectName(QStringLiteral("Vista"));
    layout->addWidget(barra);
    layout->addWidget(vista, 1);
    connect(vista, &QPrintPreviewWidget::paintRequested, &janela, [this](QPrinter* pr) {
        QPainter p(pr);
        desenhaPagina(p);
    });

    auto acao = [&](const char* nome, const QString& texto, const QString& dica, auto&& efeito) {
        QAction* a = barra->addAction(texto);
        a->setObjectName(QString::fromLatin1(nome));
        a->setToolTip(dica);
        if (QWidget* w = barra->widgetForAction(a)) w->setAccessibleName(dica);
        connect(a, &QAction::triggered, &janela, efeito);
        return a;
    };
    acao("Imprimir", QStringLiteral("&Imprimir"), QStringLiteral("Imprimir o cupom"), [&] {
        QPrintDialog dialogo(&impressora, &janela);
        dialogo.setWindowTitle(QStringLiteral("Imprimir"));
        if (dialogos().mostrarModal(&dialogo) != QDialog::Accepted) return;
        // The receipt's paper whatever the chosen printer proposes.
        impressora.setPageLayout(layoutPagina());
        vista->print();
    });
    acao("SalvarPdf", QStringLiteral("&Salvar PDF"), QStringLiteral("Salvar o cupom em PDF"), [&] {
        QFileDialog dialogo(&janela, QStringLiteral("Salvar cupom em PDF"));
        dialogo.setAcceptMode(QFileDialog::AcceptSave);
        dialogo.setNameFilter(QStringLiteral("Arquivos PDF (*.pdf)"));
        dialogo.setDefaultSuffix(QStringLiteral("pdf"));
        dialogo.selectFile(QStringLiteral("Cupom %1.pdf").arg(codigoBarras_->texto));
        if (dialogos().mostrarModal(&dialogo) != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return;
        QString arquivo = dialogo.selectedFiles().constFirst();
        if (!arquivo.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) arquivo += QStringLiteral(".pdf");
        gravaPdf(arquivo);
    });
    barra->addSeparator();
    acao("Ajustar", QStringLiteral("A&justar"), QStringLiteral("Mostrar a página inteira"),
         [vista] { vista->fitInView(); });
    acao("Ampliar", QStringLiteral("A&mpliar"), QStringLiteral("Ampliar"), [vista] { vista->zoomIn(); });
    acao("Reduzir", QStringLiteral("&Reduzir"), QStringLiteral("Reduzir"), [vista] { vista->zoomOut(); });
    barra->addSeparator();
    acao("Fechar", QStringLiteral("&Fechar"), QStringLiteral("Fechar a visualização"), [&] { janela.reject(); });

    vista->setZoomMode(QPrintPreviewWidget::FitInView);
    janela.setWindowState(Qt::WindowMaximized);
    dialogos().mostrarModal(&janela);
    return true;
}
