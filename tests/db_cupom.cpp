// The meal receipt printed to PDF from a real database, read back with pdftotext, pdfinfo and
// zbarimg; the preview window through the scripted dialogs service.
#include "testdb.h"

#include "common/dialogos.h"
#include "weighing/xCupon.h"

#include <QDialog>
#include <QFileDialog>
#include <QImage>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

QString roda(const QString& programa, const QStringList& argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        qWarning("%s did not run", qPrintable(programa));
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString textoPdf(const QString& pdf)
{
    return roda(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

// The barcode as a scanner reads it: the page rasterised at 600 dpi, then decoded.
QString codigoLido(const QString& pdf)
{
    const QString base = pdf + QStringLiteral("-pagina");
    roda(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-png"),
                                      QStringLiteral("-singlefile"), pdf, base});
    return roda(QStringLiteral("zbarimg"),
                {QStringLiteral("--raw"), QStringLiteral("-q"), base + QStringLiteral(".png")})
        .trimmed();
}

// Dots from the first to the last black dot of the barcode, along a line through its bars, on the
// page rasterised at dpi.
int larguraDasBarras(const QString& pdf, int dpi)
{
    const QString base = pdf + QStringLiteral("-barras");
    roda(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                                      QStringLiteral("-singlefile"), pdf, base});
    const QImage pagina(base + QStringLiteral(".pgm"));
    if (pagina.isNull()) return -1;
    const auto ponto = [dpi](double mm) { return int(std::lround(mm / 25.4 * dpi)); };
    // The bars' box: 41.0 mm from the band's left, 6.4 mm from its top, inside the 1 mm margin.
    const int y = ponto(1.0 + 6.4 + 4.5);
    int primeiro = -1, ultimo = -1;
    for (int x = ponto(1.0 + 41.0) - 2; x < pagina.width(); ++x)
        if (qGray(pagina.pixel(x, y)) < 128) {
            if (primeiro < 0) primeiro = x;
            ultimo = x;
        }
    return primeiro < 0 ? 0 : ultimo - primeiro + 1;
}

// A registered consumer and meal 57 of 5.250 kg; the receipt bound to the same connection.
struct Cenario
{
    TestDatabase db;
    fb::Attachment att = db.attach();
    fb::Transaction tra{att};
    TCupom cupom{att, tra};
    QTemporaryDir dir;

    Cenario()
    {
        fb::Statement c(att, tra, "insert into CLIENTE (NOME, MAE, SEXO, CPF) values (:NOME, :MAE, :SEXO, :CPF)");
        c.setParameter("NOME", QStringLiteral("MARIA JOSÉ D'ÁVILA"));
        c.setParameter("MAE", QStringLiteral("JOANA"));
        c.setParameter("SEXO", QStringLiteral("F"));
        c.setParameter("CPF", QStringLiteral("12345678909"));
        c.execute();
        tra.commitRetaining();
        db.exec(QStringLiteral("SET GENERATOR GEN_REFEICAO TO 56;"));
        refeicao(QStringLiteral("12345678909"), 5.25); // key 57
        cupom.setEmpresa(
            {QStringLiteral("RESTAURANTE POPULAR"), QStringLiteral("11222333000181"), QStringLiteral("TERESINA")});
        cupom.setRelogio([] { return QDateTime(QDate(2026, 3, 20), QTime(9, 5, 30)); });
    }

    double refeicao(const QString& cpf, double peso)
    {
        fb::Statement r(att, tra,
                        "insert into REFEICAO (CPF, DATA, HORA, PESO) values (:CPF, :DATA, :HORA, :PESO) returning ID");
        r.setParameter("CPF", cpf);
        r.setParameter("DATA", QDate(2026, 3, 14));
        r.setParameter("HORA", QTime(12, 34, 56));
        r.setParameter("PESO", peso);
        r.execute();
        const double id = r.value(0).toDouble();
        tra.commitRetaining();
        return id;
    }

    QString pdf(const QString& nome) const { return dir.filePath(nome); }
};

} // namespace

class Cupom : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void consultaComoNaTela()
    {
        Cenario c;
        QCOMPARE(c.cupom.linhas(), QStringList({"SELECT A.ID, A.DATA, A.HORA, A.CPF, C.NOME, A.PESO", "FROM REFEICAO A",
                                                "INNER JOIN CLIENTE C ON (C.CPF=A.CPF)", "WHERE A.ID=:ID"}));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, c.cupom.setLinha(4, QStringLiteral("WHERE 1=1")));
    }

    // The meal screen's WHERE line and the bound key print the same receipt.
    void imprimeRefeicao_data()
    {
        QTest::addColumn<QString>("linha");
        QTest::newRow("key written by the meal screen") << "WHERE A.ID=057";
        QTest::newRow("key bound to :ID") << "";
    }
    void imprimeRefeicao()
    {
        QFETCH(QString, linha);
        Cenario c;
        if (linha.isEmpty())
            c.cupom.setId(57);
        else
            c.cupom.setLinha(3, linha);
        const QString arquivo = c.pdf(QStringLiteral("cupom.pdf"));
        QVERIFY(c.cupom.salvarPdf(arquivo));
        QVERIFY(!c.cupom.consultaAberta());

        const QString texto = textoPdf(arquivo);
        for (const char* esperado : {"RESTAURANTE POPULAR",
                                     "11.222.333/0001-81",
                                     "TERESINA",
                                     "Saida",
                                     "Data....:",
                                     "14/03/2026",
                                     "Hora:",
                                     "12:34",
                                     "Beneficiado:",
                                     "123.456.789-09",
                                     "Nome:",
                                     "MARIA JOSÉ D'ÁVILA",
                                     "Codigo",
                                     "Descrição",
                                     "Peso",
                                     "Refeição",
                                     "5,250",
                                     "Assinatura",
                                     "Data: 20/03/2026",
                                     "Horário: 09:05"})
            QVERIFY2(texto.contains(QString::fromUtf8(esperado)), esperado);
        QVERIFY(!texto.contains(QStringLiteral("000057"))); // the number shows only in the bars
        QCOMPARE(codigoLido(arquivo), QStringLiteral("000057"));
        // The module is exactly 1/96 inch in the file: the 101 modules from the first bar to the
        // end of the stop pattern, read at 960 dpi (ten dots a module).
        QCOMPARE(larguraDasBarras(arquivo, 960), 1010);

        const QString info = roda(QStringLiteral("pdfinfo"), {arquivo});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+206(\\.\\d+)? x 336(\\.\\d+)? pts"))),
                 qPrintable(info)); // 72.76 x 118.53 mm, which the PDF writes in whole points
        QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
        QVERIFY(info.contains(QStringLiteral("Cupom de Refeição")));
    }

    void semLinhaNadaImprime_data()
    {
        QTest::addColumn<QString>("linha");
        QTest::addColumn<bool>("semCliente");
        QTest::newRow("consumer not registered") << "WHERE A.ID=058" << true;
        QTest::newRow("meal not confirmed yet") << "WHERE A.ID=0" << false;
        QTest::newRow("no key bound") << "WHERE A.ID=:ID" << false;
    }
    void semLinhaNadaImprime()
    {
        QFETCH(QString, linha);
        QFETCH(bool, semCliente);
        Cenario c;
        if (semCliente) QCOMPARE(c.refeicao(QStringLiteral("98765432100"), 1.0), 58.0);
        c.cupom.setLinha(3, linha);
        const QString arquivo = c.pdf(QStringLiteral("vazio.pdf"));
        QVERIFY(!c.cupom.salvarPdf(arquivo));
        QVERIFY(!QFile::exists(arquivo));
        QVERIFY(!c.cupom.consultaAberta());

        DialogosRoteirizados d;
        defineDialogos(&d);
        QVERIFY(!c.cupom.Preview());
        QVERIFY(d.janelasModais().isEmpty());
        defineDialogos(nullptr);
    }

    void erroNaConsultaFechaConsulta()
    {
        Cenario c;
        c.cupom.setLinha(3, QStringLiteral("WHERE A.IDX=57"));
        QVERIFY_THROWS_EXCEPTION(fb::Error, c.cupom.salvarPdf(c.pdf(QStringLiteral("erro.pdf"))));
        QVERIFY(!c.cupom.consultaAberta());
        c.cupom.setLinha(3, QStringLiteral("WHERE A.ID=057"));
        QVERIFY(c.cupom.salvarPdf(c.pdf(QStringLiteral("depois.pdf"))));
    }

    void reimprimeComOMesmoCodigo()
    {
        Cenario c;
        QVERIFY(!c.cupom.codigoBarras());
        c.cupom.setLinha(3, QStringLiteral("WHERE A.ID=057"));
        QVERIFY(c.cupom.salvarPdf(c.pdf(QStringLiteral("57.pdf"))));
        const CodigoBarrasCupom* elemento = c.cupom.codigoBarras();
        QVERIFY(elemento);
        QCOMPARE(elemento->texto, QStringLiteral("000057"));
        QCOMPARE(elemento->caixa, QRectF(41.0, 6.4, 29.9, 10.6));
        QCOMPARE(elemento->simbologia, QStringLiteral("Code 128 A"));

        QCOMPARE(c.refeicao(QStringLiteral("12345678909"), 0.45), 58.0);
        c.cupom.setLinha(3, QStringLiteral("WHERE A.ID=058"));
        const QString arquivo = c.pdf(QStringLiteral("58.pdf"));
        QVERIFY(c.cupom.salvarPdf(arquivo));
        QCOMPARE(c.cupom.codigoBarras(), elemento);
        QCOMPARE(elemento->texto, QStringLiteral("000058"));
        QCOMPARE(codigoLido(arquivo), QStringLiteral("000058"));
        const QString texto = textoPdf(arquivo);
        QVERIFY(texto.contains(QRegularExpression(QStringLiteral("Refeição\\s+,450"))));
    }

    void arquivoQueNaoPodeSerGravado()
    {
        Cenario c;
        c.cupom.setId(57);
        try {
            c.cupom.salvarPdf(c.pdf(QStringLiteral("nao/existe/cupom.pdf")));
            QFAIL("no error");
        } catch (const std::runtime_error& e) {
            QVERIFY2(QString::fromUtf8(e.what()).startsWith(QStringLiteral("Não foi possível gravar o arquivo")),
                     e.what());
        }
        QVERIFY(!c.cupom.consultaAberta());
    }

    // The preview opens maximised and fitted to the page; its save proposes PDF and writes the receipt.
    void previewSalvaPdf()
    {
        Cenario c;
        c.cupom.setLinha(3, QStringLiteral("WHERE A.ID=057"));
        const QString arquivo = c.pdf(QStringLiteral("salvo")); // the suffix comes from the dialog
        DialogosRoteirizados d;
        defineDialogos(&d);
        bool abertaDurante = false;
        d.respondeModal([&](QObject* janela) {
            auto* dlg = qobject_cast<QDialog*>(janela);
            [&] {
                QVERIFY(dlg);
                QCOMPARE(dlg->windowTitle(), QStringLiteral("Cupom de Refeição"));
                QVERIFY(dlg->windowState() & Qt::WindowMaximized);
                auto* vista = dlg->findChild<QPrintPreviewWidget*>();
                QVERIFY(vista);
                QCOMPARE(vista->zoomMode(), QPrintPreviewWidget::FitInView);
                abertaDurante = c.cupom.consultaAberta();
                auto* salvar = dlg->findChild<QAction*>(QStringLiteral("SalvarPdf"));
                QVERIFY(salvar);
                QVERIFY(!salvar->toolTip().isEmpty());
                salvar->trigger();
            }();
            return int(QDialog::Rejected);
        });
        d.respondeModal([&](QObject* janela) {
            auto* dlg = qobject_cast<QFileDialog*>(janela);
            if (!dlg) return int(QDialog::Rejected);
            [&] {
                QCOMPARE(dlg->acceptMode(), QFileDialog::AcceptSave);
                QCOMPARE(dlg->nameFilters(), QStringList(QStringLiteral("Arquivos PDF (*.pdf)")));
                QCOMPARE(dlg->defaultSuffix(), QStringLiteral("pdf"));
            }();
            dlg->selectFile(arquivo);
            return int(QDialog::Accepted);
        });
        QVERIFY(c.cupom.Preview());
        defineDialogos(nullptr);
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(d.janelasModais().size(), 2);
        QVERIFY(abertaDurante);
        QVERIFY(!c.cupom.consultaAberta());
        QVERIFY(QFile::exists(arquivo + QStringLiteral(".pdf")));
        QVERIFY(textoPdf(arquivo + QStringLiteral(".pdf")).contains(QStringLiteral("123.456.789-09")));
    }
};

QTEST_MAIN(Cupom)
#include "db_cupom.moc"
