#include "reports/xAnaliticoDia.h"

#include "common/dialogos.h"
#include "common/ui/gridzebra.h"
#include "common/ui/relatorioerro.h"
#include "data/arquivos.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineSeries>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

const QString Data = QStringLiteral("dd/MM/yyyy");

QString mascaraCnpj(const QString& c)
{
    if (c.size() != 14) return c;
    return QStringLiteral("%1.%2.%3/%4-%5").arg(c.left(2), c.mid(2, 3), c.mid(5, 3), c.mid(8, 4), c.mid(12, 2));
}

QString diasRepetidos(qint64 n)
{
    if (n == 0) return {};
    return n == 1 ? QStringLiteral("Sim (1 dia)") : QStringLiteral("Sim (%1 dias)").arg(n);
}

QList<QStandardItem*> itens(const QStringList& textos, bool negrito = false)
{
    QList<QStandardItem*> r;
    for (qsizetype i = 0; i < textos.size(); ++i) {
        auto* item = new QStandardItem(textos[i]);
        item->setEditable(false);
        // Figures align right, as in a spreadsheet; the first column is the date or the CPF.
        if (i > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (negrito) {
            QFont f = item->font();
            f.setBold(true);
            item->setFont(f);
        }
        r << item;
    }
    return r;
}

QStringList celulasDia(const FiguraDia& d)
{
    return {d.data.isValid() ? d.data.toString(Data) : QStringLiteral("Total"), QString::number(d.refeicoes),
            QString::number(d.consumidores), analitico::kg(d.gramas), analitico::kg(d.mediaGramas())};
}

QStringList celulasConsumidor(const FiguraConsumidor& c)
{
    return {analitico::cpfMascarado(c.cpf), c.nome, QString::number(c.refeicoes), diasRepetidos(c.diasRepetidos)};
}

const QStringList CabecalhoDias{QStringLiteral("Data"), QStringLiteral("Refeições"), QStringLiteral("Consumidores"),
                                QStringLiteral("Peso total (kg)"), QStringLiteral("Peso médio (kg)")};
const QStringList CabecalhoConsumidores{QStringLiteral("CPF"), QStringLiteral("Nome"), QStringLiteral("Refeições"),
                                        QStringLiteral("Mais de uma no dia")};

// The consumers of the period as the table shows them, each cell made when the view asks for it: a
// year has tens of thousands of consumers, and items made for all of them beforehand cost more
// than reading the meals. Names are looked up the same way, a block of consumers at a time when
// the view first shows one of them; a name that cannot be read stays blank.
class ModeloConsumidores final : public QAbstractTableModel
{
public:
    using Busca = std::function<QHash<QString, QString>(const QStringList&)>;
    static constexpr int Bloco = 50; // one look-up statement

    ModeloConsumidores(const QList<FiguraConsumidor>& consumidores, Busca busca, QObject* pai)
        : QAbstractTableModel(pai), consumidores_(consumidores), busca_(std::move(busca)),
          buscado_(std::size_t((consumidores.size() + Bloco - 1) / Bloco), false)
    {
        negrito_.setBold(true);
    }
    int rowCount(const QModelIndex& pai = {}) const override { return pai.isValid() ? 0 : int(consumidores_.size()); }
    int columnCount(const QModelIndex& pai = {}) const override
    {
        return pai.isValid() ? 0 : int(CabecalhoConsumidores.size());
    }
    QVariant data(const QModelIndex& indice, int papel) const override
    {
        if (!indice.isValid() || indice.row() >= consumidores_.size()) return {};
        const FiguraConsumidor& c = consumidores_[indice.row()];
        switch (papel) {
        case Qt::DisplayRole:
            switch (indice.column()) {
            case 0:
                return analitico::cpfMascarado(c.cpf);
            case 1:
                return nome(indice.row());
            case 2:
                return QString::number(c.refeicoes);
            case 3:
                return diasRepetidos(c.diasRepetidos);
            }
            return {};
        case Qt::TextAlignmentRole:
            // Figures align right, as in a spreadsheet.
            if (indice.column() >= 2) return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            return {};
        case Qt::FontRole:
            // Consumers with more than one meal on a day stand out.
            if (c.diasRepetidos > 0) return negrito_;
            return {};
        }
        return {};
    }
    QVariant headerData(int secao, Qt::Orientation orientacao, int papel) const override
    {
        if (orientacao == Qt::Horizontal && papel == Qt::DisplayRole && secao >= 0 &&
            secao < CabecalhoConsumidores.size())
            return CabecalhoConsumidores[secao];
        return QAbstractTableModel::headerData(secao, orientacao, papel);
    }

private:
    QString nome(int linha) const
    {
        const std::size_t bloco = std::size_t(linha / Bloco);
        if (!buscado_[bloco]) {
            buscado_[bloco] = true;
            const int de = int(bloco) * Bloco, ate = qMin(int(consumidores_.size()), de + Bloco);
            QStringList cpfs;
            for (int i = de; i < ate; ++i)
                cpfs << consumidores_[i].cpf;
            try {
                const QHash<QString, QString> nomes = busca_ ? busca_(cpfs) : QHash<QString, QString>();
                for (int i = de; i < ate; ++i)
                    consumidores_[i].nome = nomes.value(consumidores_[i].cpf);
            } catch (const std::exception&) {
                // Shown blank; the printed report reads the names again.
            }
        }
        return consumidores_[linha].nome;
    }

    mutable QList<FiguraConsumidor> consumidores_;
    Busca busca_;
    mutable std::vector<bool> buscado_; // names looked up, by block of rows
    QFont negrito_;
};

QTableView* tabela(QWidget* pai, const char* nome, QAbstractItemModel* modelo)
{
    auto* t = new QTableView(pai);
    t->setObjectName(QString::fromLatin1(nome));
    t->setModel(modelo);
    t->setItemDelegate(new DelegadoZebra(t));
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: #A6CAF0; }"));
    return t;
}

} // namespace

TAnaliticoDia::TAnaliticoDia(QWidget* parent)
    : TAnaliticoDia(
          Dados->fatura, Dados->TransFatura, [banco = Dados->banco()] { return fb::Attachment::attach(banco); }, parent)
{
}

TAnaliticoDia::TAnaliticoDia(fb::Attachment& banco, fb::Transaction& transacao, analitico::Conexao outra,
                             QWidget* parent)
    : QWidget(parent), banco_(banco), transacao_(transacao), outra_(std::move(outra))
{
    setObjectName(QStringLiteral("AnaliticoDia"));
    setWindowTitle(QStringLiteral("Analítico por Dia"));
    resize(1000, 640);
    monta();
    const QDate hoje = QDate::currentDate();
    setPeriodo(QDate(hoje.year(), hoje.month(), 1), QDate(hoje.year(), hoje.month(), hoje.daysInMonth()));
}

TAnaliticoDia::~TAnaliticoDia() = default;

void TAnaliticoDia::monta()
{
    auto* topo = new QHBoxLayout;
    auto data = [this, topo](const char* nome, const QString& rotulo) {
        auto* caixa = new QDateEdit(this);
        caixa->setObjectName(QString::fromLatin1(nome));
        caixa->setDisplayFormat(Data);
        caixa->setCalendarPopup(true);
        auto* l = new QLabel(rotulo, this);
        l->setBuddy(caixa);
        topo->addWidget(l);
        topo->addWidget(caixa);
        return caixa;
    };
    w_De = data("w_De", QStringLiteral("&De"));
    w_Ate = data("w_Ate", QStringLiteral("&Até"));
    Gerar = new QPushButton(QStringLiteral("&Gerar"), this);
    Gerar->setObjectName(QStringLiteral("Gerar"));
    topo->addWidget(Gerar);
    topo->addStretch();
    Imprimir = new QPushButton(QStringLiteral("&Imprimir"), this);
    Imprimir->setObjectName(QStringLiteral("Imprimir"));
    ExportarCSV = new QPushButton(QStringLiteral("&Exportar CSV"), this);
    ExportarCSV->setObjectName(QStringLiteral("ExportarCSV"));
    topo->addWidget(Imprimir);
    topo->addWidget(ExportarCSV);

    modeloDias_ = new QStandardItemModel(this);
    modeloConsumidores_ = new ModeloConsumidores({}, {}, this);
    Dias = tabela(this, "Dias", modeloDias_);
    Consumidores = tabela(this, "Consumidores", modeloConsumidores_);
    Consumidores->horizontalHeader()->setStretchLastSection(true);
    Dias->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    Grafico = new QChartView(new QChart, this);
    Grafico->setObjectName(QStringLiteral("Grafico"));
    Grafico->setRenderHint(QPainter::Antialiasing);
    Grafico->setAccessibleName(QStringLiteral("Gráfico de refeições por dia"));
    Grafico->setMinimumHeight(220);

    auto comRotulo = [this](const QString& texto, QWidget* caixa) {
        auto* w = new QWidget(this);
        auto* v = new QVBoxLayout(w);
        v->setContentsMargins(0, 0, 0, 0);
        auto* l = new QLabel(texto, w);
        l->setBuddy(caixa);
        v->addWidget(l);
        v->addWidget(caixa, 1);
        return w;
    };
    auto* meio = new QSplitter(Qt::Horizontal, this);
    meio->addWidget(comRotulo(QStringLiteral("Refeições por &dia"), Dias));
    meio->addWidget(Grafico);
    meio->setStretchFactor(1, 1);
    // The day table wide enough for its five columns; the chart takes the rest.
    meio->setSizes({560, 800});
    auto* corpo = new QSplitter(Qt::Vertical, this);
    corpo->addWidget(meio);
    corpo->addWidget(comRotulo(QStringLiteral("&Consumidores do período"), Consumidores));

    auto* v = new QVBoxLayout(this);
    v->addLayout(topo);
    v->addWidget(corpo, 1);

    connect(Gerar, &QPushButton::clicked, this, [this] { protegido([&] { GerarClick(); }); });
    connect(Imprimir, &QPushButton::clicked, this, [this] { protegido([&] { ImprimirClick(); }); });
    connect(ExportarCSV, &QPushButton::clicked, this, [this] { protegido([&] { ExportarCsvClick(); }); });
    mostra();
    atualizaGrafico();
}

void TAnaliticoDia::setPeriodo(const QDate& de, const QDate& ate)
{
    w_De->setDate(de);
    w_Ate->setDate(ate);
}

void TAnaliticoDia::GerarClick()
{
    const QDate de = w_De->date(), ate = w_Ate->date();
    if (de > ate) {
        avisa(QStringLiteral("A data inicial é posterior à data final."));
        return;
    }
    QElapsedTimer relogio;
    relogio.start();
    auto marca = [&relogio](double& tempo) {
        tempo = double(relogio.nsecsElapsed()) / 1e6;
        relogio.restart();
    };
    Analitico a = analitico::periodo(banco_, transacao_, de, ate, false, outra_);
    fb::Statement empresa(banco_, transacao_,
                          QStringLiteral("select first 1 FANTASIA, CNPJ from EMPRESAS order by ID"));
    empresa.execute();
    if (empresa.fetch()) {
        fantasia_ = empresa.value(0).toString();
        cnpj_ = empresa.value(1).toString();
    }
    marca(tempos_.leitura);
    de_ = de;
    ate_ = ate;
    dias_ = std::move(a.dias);
    total_ = a.total;
    consumidores_ = std::move(a.consumidores);
    nomesLidos_ = false;
    gerado_ = true;
    mostra();
    marca(tempos_.tabelas);
    atualizaGrafico();
    marca(tempos_.grafico);
}

void TAnaliticoDia::mostra()
{
    // Each table gets its new model filled before the view sees it: rows appended one by one under
    // the view cost a resize of its columns each.
    auto troca = [](QTableView* vista, auto*& modelo, auto* novo) {
        QItemSelectionModel* selecao = vista->selectionModel();
        vista->setModel(novo);
        delete selecao;
        delete modelo;
        modelo = novo;
    };
    auto* dias = new QStandardItemModel(this);
    dias->setHorizontalHeaderLabels(CabecalhoDias);
    if (gerado_) {
        for (const FiguraDia& d : dias_)
            dias->appendRow(itens(celulasDia(d)));
        dias->appendRow(itens(celulasDia(total_), true));
    }
    troca(Dias, modeloDias_, dias);
    QAbstractItemModel* consumidores = new ModeloConsumidores(
        consumidores_, [this](const QStringList& cpfs) { return analitico::nomes(banco_, transacao_, cpfs, false); },
        this);
    // The figures fit their contents; the names get a width of their own, since fitting them
    // would look up the names of a thousand consumers before the first is shown.
    QHeaderView* cabecalho = Consumidores->horizontalHeader();
    if (larguraNome_ >= 0 && cabecalho->count() > 1) larguraNome_ = cabecalho->sectionSize(1);
    troca(Consumidores, modeloConsumidores_, consumidores);
    cabecalho->setSectionResizeMode(QHeaderView::ResizeToContents);
    cabecalho->setSectionResizeMode(1, QHeaderView::Interactive);
    if (larguraNome_ < 0) larguraNome_ = fontMetrics().horizontalAdvance(QString(40, u'M')) / 2;
    cabecalho->resizeSection(1, larguraNome_);
    Imprimir->setEnabled(gerado_);
    ExportarCSV->setEnabled(gerado_);
}

void TAnaliticoDia::atualizaGrafico()
{
    QChart* grafico = Grafico->chart();
    grafico->removeAllSeries();
    // A removed axis is handed back, not deleted.
    for (QAbstractAxis* eixo : grafico->axes()) {
        grafico->removeAxis(eixo);
        delete eixo;
    }
    grafico->setTitle(QStringLiteral("Refeições por dia"));
    if (dias_.isEmpty()) return;

    auto* refeicoes = new QBarSet(QStringLiteral("Refeições"));
    auto* media = new QLineSeries;
    media->setName(QStringLiteral("Peso médio (kg)"));
    media->setPointsVisible(true); // a period of one day is one point, no line
    QStringList categorias;
    qint64 maxRefeicoes = 0, maxMedia = 0;
    for (qsizetype i = 0; i < dias_.size(); ++i) {
        const FiguraDia& d = dias_[i];
        *refeicoes << double(d.refeicoes);
        media->append(double(i), d.mediaGramas() / 1000.0);
        categorias << d.data.toString(QStringLiteral("dd/MM"));
        maxRefeicoes = qMax(maxRefeicoes, d.refeicoes);
        maxMedia = qMax(maxMedia, d.mediaGramas());
    }
    auto* barras = new QBarSeries;
    barras->append(refeicoes);
    grafico->addSeries(barras);
    grafico->addSeries(media);

    auto* eixoDias = new QBarCategoryAxis;
    eixoDias->append(categorias);
    grafico->addAxis(eixoDias, Qt::AlignBottom);
    barras->attachAxis(eixoDias);
    media->attachAxis(eixoDias);
    auto* eixoRefeicoes = new QValueAxis;
    // Whole ticks: a count of meals has no fractions.
    eixoRefeicoes->setRange(0, double(maxRefeicoes) * 1.1 + 1);
    eixoRefeicoes->applyNiceNumbers();
    eixoRefeicoes->setLabelFormat(QStringLiteral("%d"));
    eixoRefeicoes->setTitleText(QStringLiteral("Refeições"));
    grafico->addAxis(eixoRefeicoes, Qt::AlignLeft);
    barras->attachAxis(eixoRefeicoes);
    auto* eixoPeso = new QValueAxis;
    eixoPeso->setRange(0, maxMedia / 1000.0 * 1.1 + 0.1);
    eixoPeso->setTitleText(QStringLiteral("Peso médio (kg)"));
    grafico->addAxis(eixoPeso, Qt::AlignRight);
    media->attachAxis(eixoPeso);
}

QString TAnaliticoDia::titulo() const
{
    return QStringLiteral("Analítico por Dia");
}

QByteArray TAnaliticoDia::csv() const
{
    // The BOM tells the spreadsheet the file is UTF-8; ";" and comma decimals are what it expects
    // in Portuguese.
    return QByteArray("\xEF\xBB\xBF") + analitico::csv(dias_, total_).replace(u'\n', QStringLiteral("\r\n")).toUtf8();
}

void TAnaliticoDia::ExportarCsvClick()
{
    if (!gerado_) return;
    QFileDialog dialogo(this, QStringLiteral("Exportar CSV"));
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setNameFilter(QStringLiteral("Arquivos CSV (*.csv)"));
    dialogo.setDefaultSuffix(QStringLiteral("csv"));
    dialogo.selectFile(
        QStringLiteral("Analitico %1 a %2.csv")
            .arg(de_.toString(QStringLiteral("yyyy-MM-dd")), ate_.toString(QStringLiteral("yyyy-MM-dd"))));
    if (dialogos().mostrarModal(&dialogo) != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return;
    QString arquivo = dialogo.selectedFiles().constFirst();
    if (!arquivo.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) arquivo += QStringLiteral(".csv");
    QFile f(arquivo);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(csv()) < 0 || !f.flush())
        throw std::runtime_error(
            QStringLiteral("Não foi possível gravar %1: %2").arg(arquivo, f.errorString()).toUtf8().toStdString());
}

QPageLayout TAnaliticoDia::layoutPagina()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

int TAnaliticoDia::desenha(QPainter& p, QPagedPaintDevice& dispositivo) const
{
    const double pxmm = dispositivo.logicalDpiY() / 25.4;
    auto mm = [pxmm](double v) { return v * pxmm; };
    const QRectF area = dispositivo.pageLayout().paintRectPixels(dispositivo.logicalDpiX()).toRectF();
    const double largura = area.width() / pxmm, altura = area.height() / pxmm;
    const double linha = 6;

    struct Linha
    {
        enum Tipo { Secao, Cabecalho, Dado, Destaque } tipo;
        QStringList celulas;
        const QList<double>* colunas;
    };
    static const QList<double> colDias{0, 36, 72, 108, 144};
    static const QList<double> colConsumidores{0, 36, 122, 145};
    QList<Linha> linhas;
    linhas << Linha{Linha::Secao, {QStringLiteral("Refeições por dia")}, &colDias}
           << Linha{Linha::Cabecalho, CabecalhoDias, &colDias};
    for (const FiguraDia& d : dias_)
        linhas << Linha{Linha::Dado, celulasDia(d), &colDias};
    linhas << Linha{Linha::Destaque, celulasDia(total_), &colDias} << Linha{Linha::Secao, {QString()}, &colDias}
           << Linha{Linha::Secao, {QStringLiteral("Consumidores do período")}, &colConsumidores}
           << Linha{Linha::Cabecalho, CabecalhoConsumidores, &colConsumidores};
    for (const FiguraConsumidor& c : consumidores_)
        linhas << Linha{Linha::Dado, celulasConsumidor(c), &colConsumidores};

    const double cabecalho = 26, rodape = 8;
    const int porPagina = qMax(1, int((altura - cabecalho - rodape) / linha));
    const int paginas = int((linhas.size() + porPagina - 1) / porPagina);

    QFont normal(QStringLiteral("DejaVu Sans"));
    normal.setPointSizeF(9);
    QFont negrito = normal;
    negrito.setBold(true);
    QFont grande = negrito;
    grande.setPointSizeF(13);
    const QString periodo = QStringLiteral("Período: %1 a %2").arg(de_.toString(Data), ate_.toString(Data));

    for (int pagina = 0; pagina < paginas; ++pagina) {
        if (pagina > 0) dispositivo.newPage();
        p.setFont(grande);
        p.drawText(QRectF(0, 0, mm(largura), mm(7)), Qt::AlignLeft | Qt::AlignVCenter, fantasia_);
        p.setFont(normal);
        p.drawText(QRectF(0, mm(7), mm(largura), mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("CNPJ %1").arg(mascaraCnpj(cnpj_)));
        p.setFont(negrito);
        p.drawText(QRectF(0, mm(13), mm(largura), mm(6)), Qt::AlignLeft | Qt::AlignVCenter, titulo());
        p.setFont(normal);
        p.drawText(QRectF(0, mm(13), mm(largura), mm(6)), Qt::AlignRight | Qt::AlignVCenter, periodo);
        p.drawLine(QPointF(0, mm(21)), QPointF(mm(largura), mm(21)));

        double y = cabecalho;
        for (int i = pagina * porPagina; i < qMin(int(linhas.size()), (pagina + 1) * porPagina); ++i, y += linha) {
            const Linha& l = linhas[i];
            p.setFont(l.tipo == Linha::Dado ? normal : negrito);
            if (l.tipo == Linha::Secao) {
                p.drawText(QRectF(0, mm(y), mm(largura), mm(linha)), Qt::AlignLeft | Qt::AlignBottom, l.celulas[0]);
                continue;
            }
            const QList<double>& c = *l.colunas;
            for (qsizetype k = 0; k < l.celulas.size(); ++k) {
                const double x0 = c[k], x1 = k + 1 < c.size() ? c[k + 1] - 2 : largura;
                // The CPF, date and name columns read left to right; figures line up on the right.
                const bool texto = k == 0 || (l.colunas == &colConsumidores && k == 1);
                p.drawText(QRectF(mm(x0), mm(y), mm(x1 - x0), mm(linha)),
                           (texto ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, l.celulas[k]);
            }
            if (l.tipo == Linha::Cabecalho || l.tipo == Linha::Destaque)
                p.drawLine(QPointF(0, mm(l.tipo == Linha::Cabecalho ? y + linha : y)),
                           QPointF(mm(largura), mm(l.tipo == Linha::Cabecalho ? y + linha : y)));
        }
        p.setFont(normal);
        p.drawText(QRectF(0, mm(altura - rodape), mm(largura), mm(rodape)), Qt::AlignRight | Qt::AlignBottom,
                   QStringLiteral("Página %1 de %2").arg(pagina + 1).arg(paginas));
    }
    return paginas;
}

void TAnaliticoDia::completaNomes()
{
    // The table looks names up as it shows them; the printed report lists every consumer.
    if (!gerado_ || nomesLidos_) return;
    analitico::poeNomes(banco_, transacao_, consumidores_);
    nomesLidos_ = true;
}

bool TAnaliticoDia::imprimir(QPagedPaintDevice& dispositivo)
{
    if (!gerado_) return false;
    completaNomes();
    QPainter p(&dispositivo);
    desenha(p, dispositivo);
    return true;
}

bool TAnaliticoDia::salvarPdf(const QString& arquivo)
{
    if (!gerado_) return false;
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setOutputFormat(QPrinter::PdfFormat);
    impressora.setOutputFileName(arquivo);
    impressora.setPageLayout(layoutPagina());
    impressora.setDocName(titulo());
    return imprimir(impressora);
}

void TAnaliticoDia::ImprimirClick()
{
    if (!gerado_) return;
    // Before the preview, whose drawing must not fail on the database.
    completaNomes();
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setPageLayout(layoutPagina());
    impressora.setDocName(titulo());

    QDialog janela(this);
    janela.setObjectName(QStringLiteral("PreviewAnalitico"));
    janela.setWindowTitle(titulo());
    janela.setWindowFlags(janela.windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    auto* layout = new QVBoxLayout(&janela);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* barra = new QToolBar(&janela);
    auto* vista = new QPrintPreviewWidget(&impressora, &janela);
    vista->setObjectName(QStringLiteral("Vista"));
    layout->addWidget(barra);
    layout->addWidget(vista, 1);
    connect(vista, &QPrintPreviewWidget::paintRequested, &janela, [this](QPrinter* pr) { imprimir(*pr); });

    auto acao = [&](const char* nome, const QString& texto, const QString& dica, auto&& efeito) {
        QAction* a = barra->addAction(texto);
        a->setObjectName(QString::fromLatin1(nome));
        a->setToolTip(dica);
        if (QWidget* w = barra->widgetForAction(a)) w->setAccessibleName(dica);
        connect(a, &QAction::triggered, &janela, efeito);
        return a;
    };
    acao("Imprimir", QStringLiteral("&Imprimir"), QStringLiteral("Imprimir o relatório"), [&] {
        QPrintDialog dialogo(&impressora, &janela);
        dialogo.setWindowTitle(QStringLiteral("Imprimir"));
        if (dialogos().mostrarModal(&dialogo) != QDialog::Accepted) return;
        impressora.setPageLayout(layoutPagina());
        vista->print();
    });
    acao("SalvarPdf", QStringLiteral("&Salvar PDF"), QStringLiteral("Salvar o relatório em PDF"), [&] {
        QFileDialog dialogo(&janela, QStringLiteral("Salvar relatório em PDF"));
        dialogo.setAcceptMode(QFileDialog::AcceptSave);
        dialogo.setNameFilter(QStringLiteral("Arquivos PDF (*.pdf)"));
        dialogo.setDefaultSuffix(QStringLiteral("pdf"));
        dialogo.selectFile(
            QStringLiteral("Analitico %1 a %2.pdf")
                .arg(de_.toString(QStringLiteral("yyyy-MM-dd")), ate_.toString(QStringLiteral("yyyy-MM-dd"))));
        if (dialogos().mostrarModal(&dialogo) != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return;
        QString arquivo = dialogo.selectedFiles().constFirst();
        if (!arquivo.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) arquivo += QStringLiteral(".pdf");
        salvarPdf(arquivo);
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
}
