// The daily report screen on a real database: the hand-counted figures in its tables and chart,
// the same table as the command, the CSV a spreadsheet opens and the printed A4 pages read back
// with pdftotext and pdfinfo.
#include "common/dialogos.h"
#include "data/arquivos.h"
#include "fixturarelatorio.h"
#include "reports/xAnaliticoDia.h"
#include "testdb.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace fixtura;

namespace {

QString roda(const QString& programa, const QStringList& argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QList<QStringList> celulas(QTableView* t)
{
    QList<QStringList> r;
    for (int i = 0; i < t->model()->rowCount(); ++i) {
        QStringList l;
        for (int j = 0; j < t->model()->columnCount(); ++j)
            l << t->model()->index(i, j).data().toString();
        r << l;
    }
    return r;
}

// The fixture's meals, two registered consumers and the restaurant's company; the screen on the
// program's data module.
struct Cenario
{
    TestDatabase db;
    TDados dados{db.settings()};
    DialogosRoteirizados caixas;
    Dialogos* anterior = defineDialogos(&caixas);
    std::unique_ptr<TAnaliticoDia> tela;

    Cenario()
    {
        db.exec(QStringLiteral("update EMPRESAS set CNPJ = '11444777000161', FANTASIA = 'RESTAURANTE DO POVO';\n"
                               "insert into CLIENTE (NOME, MAE, SEXO, CPF) values ('ANA PAULA', 'M', 'F', '%1');\n"
                               "insert into CLIENTE (NOME, MAE, SEXO, CPF) values ('JOÃO', 'M', 'M', '%2');\n")
                    .arg(A, B) +
                refeicoes());
        tela = std::make_unique<TAnaliticoDia>();
        tela->show();
    }
    ~Cenario()
    {
        tela.reset();
        defineDialogos(anterior);
    }
    template <class T> T* filho(const char* nome) const { return tela->findChild<T*>(QString::fromLatin1(nome)); }
    void gera(const QDate& de = De, const QDate& ate = Ate)
    {
        filho<QDateEdit>("w_De")->setDate(de);
        filho<QDateEdit>("w_Ate")->setDate(ate);
        QTest::mouseClick(filho<QPushButton>("Gerar"), Qt::LeftButton);
    }
};

} // namespace

class TestTelaAnalitico : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void abreNoMesCorrente();
    void tabelasEGrafico();
    void periodoInvertido();
    void exportaCsv();
    void imprimePdf();
};

void TestTelaAnalitico::abreNoMesCorrente()
{
    Cenario c;
    const QDate hoje = QDate::currentDate();
    QCOMPARE(c.filho<QDateEdit>("w_De")->date(), QDate(hoje.year(), hoje.month(), 1));
    QCOMPARE(c.filho<QDateEdit>("w_Ate")->date(), QDate(hoje.year(), hoje.month(), hoje.daysInMonth()));
    QCOMPARE(c.tela->windowTitle(), QStringLiteral("Analítico por Dia"));
    // Nothing to print or export before "Gerar".
    QVERIFY(!c.filho<QPushButton>("Imprimir")->isEnabled());
    QVERIFY(!c.filho<QPushButton>("ExportarCSV")->isEnabled());
    // Every caption names its box, for screen readers and automation.
    QStringList buddies;
    for (QLabel* l : c.tela->findChildren<QLabel*>()) {
        QVERIFY2(l->buddy(), qPrintable(l->text()));
        buddies << l->buddy()->objectName();
    }
    buddies.sort();
    QCOMPARE(buddies, (QStringList{"Consumidores", "Dias", "w_Ate", "w_De"}));
}

void TestTelaAnalitico::tabelasEGrafico()
{
    Cenario c;
    c.gera();
    QCOMPARE(c.caixas.caixas().size(), 0);
    auto* dias = c.filho<QTableView>("Dias");
    QCOMPARE(celulas(dias), (QList<QStringList>{{"01/12/2026", "4", "3", "1,734", "0,434"},
                                                {"02/12/2026", "2", "2", "0,500", "0,250"},
                                                {"04/12/2026", "2", "1", "0,701", "0,351"},
                                                {"Total", "8", "3", "2,935", "0,367"}}));
    QCOMPARE(celulas(c.filho<QTableView>("Consumidores")),
             (QList<QStringList>{{"***.444.777-**", "", "2", ""},
                                 {"***.456.789-**", "ANA PAULA", "3", "Sim (1 dia)"},
                                 {"***.982.247-**", "JOÃO", "3", "Sim (1 dia)"}}));

    // The command's output is the screen's table, line for line.
    const Saida s = relatorio({QStringLiteral("--banco"), c.db.settings().database, QStringLiteral("01/12/2026"),
                               QStringLiteral("04/12/2026")});
    QCOMPARE(s.codigo, 0);
    QStringList daTela{QStringLiteral("data;refeicoes;consumidores;peso_total;peso_medio")};
    for (QStringList l : celulas(dias)) {
        if (l[0] == QStringLiteral("Total")) l[0] = QStringLiteral("total");
        daTela << l.join(u';');
    }
    QCOMPARE(s.texto, daTela.join(u'\n') + u'\n');

    QChart* grafico = c.filho<QChartView>("Grafico")->chart();
    QBarSeries* barras = nullptr;
    QLineSeries* media = nullptr;
    for (QAbstractSeries* serie : grafico->series()) {
        if (!barras) barras = qobject_cast<QBarSeries*>(serie);
        if (!media) media = qobject_cast<QLineSeries*>(serie);
    }
    QVERIFY(barras && media);
    QCOMPARE(barras->barSets().size(), 1);
    const QBarSet* refeicoes = barras->barSets()[0];
    QCOMPARE(refeicoes->count(), 3);
    QCOMPARE(QList<double>({refeicoes->at(0), refeicoes->at(1), refeicoes->at(2)}), (QList<double>{4, 2, 2}));
    QCOMPARE(media->count(), 3);
    QCOMPARE(media->at(0).y(), 0.434);
    QCOMPARE(media->at(2).y(), 0.351);

    // Another period: the tables follow; a day without meals leaves them with the zero totals only.
    c.gera(QDate(2026, 12, 3), QDate(2026, 12, 3));
    QCOMPARE(celulas(dias), (QList<QStringList>{{"Total", "0", "0", "0,000", "0,000"}}));
    QCOMPARE(c.filho<QTableView>("Consumidores")->model()->rowCount(), 0);
    QVERIFY(grafico->series().isEmpty());

    // Three months, read in two halves at once (the later one from 19/10 on, on a second
    // connection): A eats in both and is still one consumer.
    c.db.exec(refeicao(A, "2026-09-01", "12:00", "0.100"));
    c.gera(QDate(2026, 9, 1), Ate);
    QCOMPARE(celulas(dias), (QList<QStringList>{{"01/09/2026", "1", "1", "0,100", "0,100"},
                                                {"30/11/2026", "1", "1", "0,999", "0,999"},
                                                {"01/12/2026", "4", "3", "1,734", "0,434"},
                                                {"02/12/2026", "2", "2", "0,500", "0,250"},
                                                {"04/12/2026", "2", "1", "0,701", "0,351"},
                                                {"Total", "10", "3", "4,034", "0,403"}}));
    QCOMPARE(celulas(c.filho<QTableView>("Consumidores")),
             (QList<QStringList>{{"***.444.777-**", "", "2", ""},
                                 {"***.456.789-**", "ANA PAULA", "5", "Sim (1 dia)"},
                                 {"***.982.247-**", "JOÃO", "3", "Sim (1 dia)"}}));
}

void TestTelaAnalitico::periodoInvertido()
{
    Cenario c;
    c.gera(Ate, De);
    QCOMPARE(c.caixas.textos(), QStringList{QStringLiteral("A data inicial é posterior à data final.")});
    QCOMPARE(c.filho<QTableView>("Dias")->model()->rowCount(), 0);
}

void TestTelaAnalitico::exportaCsv()
{
    Cenario c;
    c.gera();
    QTemporaryDir dir;
    const QString arquivo = dir.filePath(QStringLiteral("dezembro"));
    c.caixas.respondeModal([&](QObject* janela) {
        auto* dlg = qobject_cast<QFileDialog*>(janela);
        if (!dlg) return int(QDialog::Rejected);
        [&] {
            QCOMPARE(dlg->acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(dlg->nameFilters(), QStringList(QStringLiteral("Arquivos CSV (*.csv)")));
        }();
        dlg->selectFile(arquivo);
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(c.filho<QPushButton>("ExportarCSV"), Qt::LeftButton);
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(c.caixas.textos(), QStringList());
    QFile f(arquivo + QStringLiteral(".csv"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(),
             QByteArray("\xEF\xBB\xBF") + QString(Esperado).replace(u'\n', QStringLiteral("\r\n")).toUtf8());
}

void TestTelaAnalitico::imprimePdf()
{
    Cenario c;
    c.gera();
    QTemporaryDir dir;
    const QString arquivo = dir.filePath(QStringLiteral("analitico"));
    c.caixas.respondeModal([&](QObject* janela) {
        auto* dlg = qobject_cast<QDialog*>(janela);
        [&] {
            QVERIFY(dlg);
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Analítico por Dia"));
            QVERIFY(dlg->windowState() & Qt::WindowMaximized);
            auto* salvar = dlg->findChild<QAction*>(QStringLiteral("SalvarPdf"));
            QVERIFY(salvar);
            QCOMPARE(salvar->toolTip(), QStringLiteral("Salvar o relatório em PDF"));
            salvar->trigger();
        }();
        return int(QDialog::Rejected);
    });
    c.caixas.respondeModal([&](QObject* janela) {
        auto* dlg = qobject_cast<QFileDialog*>(janela);
        if (!dlg) return int(QDialog::Rejected);
        dlg->selectFile(arquivo);
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(c.filho<QPushButton>("Imprimir"), Qt::LeftButton);
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(c.caixas.janelasModais().size(), 2);
    const QString pdf = arquivo + QStringLiteral(".pdf");
    QVERIFY(QFile::exists(pdf));
    QVERIFY(roda(QStringLiteral("pdfinfo"), {pdf}).contains(QStringLiteral("(A4)")));
    QString texto = roda(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    texto.replace(QRegularExpression(QStringLiteral("[ \\t]+")), QStringLiteral(" "));
    for (const QString& linha :
         {QStringLiteral("RESTAURANTE DO POVO"), QStringLiteral("CNPJ 11.444.777/0001-61"),
          QStringLiteral("Período: 01/12/2026 a 04/12/2026"), QStringLiteral("01/12/2026 4 3 1,734 0,434"),
          QStringLiteral("02/12/2026 2 2 0,500 0,250"), QStringLiteral("04/12/2026 2 1 0,701 0,351"),
          QStringLiteral("Total 8 3 2,935 0,367"), QStringLiteral("***.456.789-** ANA PAULA 3 Sim (1 dia)"),
          QStringLiteral("***.444.777-** 2"), QStringLiteral("Página 1 de 1")})
        QVERIFY2(texto.contains(linha), qPrintable(linha + QStringLiteral("\n--\n") + texto));
}

QTEST_MAIN(TestTelaAnalitico)
#include "gui_relatorio.moc"
