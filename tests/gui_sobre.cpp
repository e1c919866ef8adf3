// The About window: version texts with and without version information, the maker's links, the
// company line, the rounded 548-wide borderless outline, and "Fechar" folding it away and a
// reopening at full size.
#include "common/dialogos.h"
#include "common/sessao.h"
#include "common/ui/telacadastro.h"
#include "data/arquivos.h"
#include "testdb.h"
#include "users/Sobre.h"

#include <QLabel>
#include <QtTest>

namespace {

QString texto(QWidget* w, const char* nome)
{
    auto* l = w->findChild<QLabel*>(QString::fromLatin1(nome));
    if (!l) qFatal("label %s not found", nome);
    return l->text();
}

} // namespace

class AboutWindow : public QObject
{
    Q_OBJECT

private:
    TestDatabase* db = nullptr;
    TDados* dados = nullptr;
    DialogosRoteirizados caixas;
    QStringList abertos;

private Q_SLOTS:
    void initTestCase()
    {
        db = new TestDatabase;
        dados = new TDados(db->settings());
        defineDialogos(&caixas);
        defineAbridorEnderecos([this](const QString& e) {
            abertos << e;
            return true;
        });
    }
    void cleanupTestCase()
    {
        defineAbridorEnderecos({});
        defineDialogos(nullptr);
        delete dados;
        delete db;
    }
    void init() { abertos.clear(); }

    void versao_data()
    {
        QTest::addColumn<bool>("temInformacao");
        QTest::addColumn<QStringList>("chaves");
        QTest::addColumn<QStringList>("valores");
        QTest::addColumn<QStringList>("esperado"); // product, version, comments, copyright
        const QStringList desenho = {"Nome do Produto", "Versão", "Comentários: Sistema de Gestão", "Copyright"};
        QTest::newRow("no version information") << false << QStringList() << QStringList() << desenho;
        QTest::newRow("empty version information") << true << QStringList() << QStringList() << desenho;
        QTest::newRow("file version only")
            << true << QStringList{"Fileversion"} << QStringList{"1.0.0.0"}
            << QStringList{"Nome do Produto", "Versão: 1.0.0.0", "Comentários: Sistema de Gestão", "Copyright"};
        QTest::newRow("all four, resource spelling")
            << true << QStringList{"ProductName", "FileVersion", "LegalCopyright", "Comments"}
            << QStringList{"Comedal", "2.1.0.7", "(c) Comedal", "Refeições"}
            << QStringList{"Comedal", "Versão: 2.1.0.7", "Comentários: Refeições", "(c) Comedal"};
    }
    void versao()
    {
        QFETCH(bool, temInformacao);
        QFETCH(QStringList, chaves);
        QFETCH(QStringList, valores);
        QFETCH(QStringList, esperado);
        TAboutBox janela;
        TAboutBox::InformacaoVersao info;
        if (temInformacao) {
            QMap<QString, QString> m;
            for (int i = 0; i < chaves.size(); ++i)
                m.insert(chaves[i], valores[i]);
            info = m;
        }
        janela.mostraVersao(info);
        QCOMPARE(texto(&janela, "ProductName"), esperado[0]);
        QCOMPARE(texto(&janela, "Version"), esperado[1]);
        QCOMPARE(texto(&janela, "Comments"), esperado[2]);
        QCOMPARE(texto(&janela, "Copyright"), esperado[3]);
    }

    void versaoDoPrograma()
    {
        TAboutBox janela;
        QCOMPARE(texto(&janela, "Version"), QStringLiteral("Versão: " COMEDAL_VERSION));
        QCOMPARE(texto(&janela, "ProductName"), QStringLiteral("Comedal"));
    }

    void fabricanteEEmpresa()
    {
        TAboutBox janela;
        QCOMPARE(texto(&janela, "w_NomeEmpresa"), sessao().NomeEmpresa);
        QCOMPARE(texto(&janela, "w_Email"), QStringLiteral("e-mail:") + sessao().emailcoorporativo);
        QCOMPARE(texto(&janela, "w_Site"), sessao().sitecoorporativo);
        QCOMPARE(texto(&janela, "w_Empresa"), QStringLiteral("11222333000181 - RESTAURANTE POPULAR (A DEFINIR)"));
        QCOMPARE(janela.palette().color(QPalette::Window), QColor(0xC9, 0xEE, 0xF5));
        auto* titulo = janela.findChild<QLabel*>(QStringLiteral("PanelTitulo"));
        QCOMPARE(titulo->text(), QStringLiteral("Informações sobre o Sistema"));
        QCOMPARE(titulo->palette().color(QPalette::Window), QColor(Qt::black));
    }

    void links()
    {
        TAboutBox janela;
        janela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&janela));
        QTest::mouseClick(janela.findChild<QLabel*>(QStringLiteral("w_Site")), Qt::LeftButton);
        QTest::mouseClick(janela.findChild<QLabel*>(QStringLiteral("w_Email")), Qt::LeftButton);
        QCOMPARE(abertos, (QStringList{QStringLiteral("http://") + sessao().sitecoorporativo,
                                       QStringLiteral("mailto:") + sessao().emailcoorporativo}));
    }

    void contornoEFechar()
    {
        TAboutBox janela;
        QVERIFY(janela.windowFlags() & Qt::FramelessWindowHint);
        janela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&janela));
        QCOMPARE(janela.size(), QSize(548, 491));
        // Rounded corners: the very corner is outside the outline, the middle and the edges' middles inside.
        QVERIFY(!janela.mask().contains(QPoint(0, 0)));
        QVERIFY(!janela.mask().contains(QPoint(547, 490)));
        QVERIFY(janela.mask().contains(QPoint(274, 245)));
        QVERIFY(janela.mask().contains(QPoint(274, 1)));

        QTest::mouseClick(janela.findChild<QLabel*>(QStringLiteral("Fechar")), Qt::LeftButton);
        QVERIFY(!janela.isVisible());
        QCOMPARE(janela.result(), int(QDialog::Accepted));
        QVERIFY(janela.height() < 20);

        // Reused on the next choice of the menu: full size again.
        janela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&janela));
        QCOMPARE(janela.size(), QSize(548, 491));
        janela.resize(548, 200);
        janela.FormActivate();
        QCOMPARE(janela.size(), QSize(548, 491));
    }
};

QTEST_MAIN(AboutWindow)
#include "gui_sobre.moc"
