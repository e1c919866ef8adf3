// The company screen against a real database: the right to change, typing refused without it,
// saving and re-reading, the read-only corporate name and CNPJ, the state picker stored through
// UNIDADEFEDERACAO, the required trade name, the logo from a file and through the clipboard.
#include "app/telas.h"
#include "app/xPrincipal.h"
#include "common/acessos.h"
#include "common/dialogos.h"
#include "common/sessao.h"
#include "common/ui/dbcombobox.h"
#include "common/ui/dbimage.h"
#include "data/arquivos.h"
#include "telas.h"
#include "testdb.h"
#include "users/xEmpresas.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Base
{
    TestDatabase db;
    TDados dados{db.settings()};
    DialogosRoteirizados caixas;
    Dialogos* anterior = defineDialogos(&caixas);

    explicit Base(const QString& usuario = QStringLiteral("1"), const char* alterar = nullptr)
    {
        sessao().UsuarioEmUso = usuario;
        if (alterar)
            db.exec(QStringLiteral("insert into ACESSOS (USUARIO, PROGRAMA, INCLUIR, ALTERAR, EXCLUIR) "
                                   "values (%1, 'Dados da Empresa', 'S', '%2', 'S')")
                        .arg(usuario, QString::fromLatin1(alterar)));
        // Another program's row first, so that the rights row is not simply the current one.
        db.exec(QStringLiteral("insert into ACESSOS (USUARIO, PROGRAMA, INCLUIR, ALTERAR, EXCLUIR) "
                               "values (%1, 'Clientes', 'S', 'S', 'S')")
                    .arg(usuario));
        SelecionaAcessos(usuario.toInt());
    }
    ~Base() { defineDialogos(anterior); }

    QVariant coluna(const QString& sql) const { return db.valor(sql); }
};

bool mostra(QWidget* w)
{
    return mostra(w, QSize(1000, 600));
}

QString ligados(QWidget* tela)
{
    QString s;
    for (const char* n : {"Alterar", "Confirmar", "NaoConfirmar"})
        s += botao(tela, n)->isEnabled() ? QLatin1Char(n[0]) : QLatin1Char('-');
    return s;
}

void digita(QWidget* tela, const char* caixa, const QString& texto)
{
    auto* e = filho<QLineEdit>(tela, caixa);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, texto);
}

QString bmp(const QTemporaryDir& pasta, QColor cor)
{
    const QString arquivo = pasta.filePath(cor.name().mid(1) + QStringLiteral(".bmp"));
    QImage img(16, 12, QImage::Format_RGB32);
    img.fill(cor);
    img.save(arquivo, "BMP");
    return arquivo;
}

} // namespace

class CompanyScreen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void direito_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("alterar"); // "" for no rights row
        QTest::addColumn<bool>("pode");
        QTest::newRow("administrator") << "1"
                                       << "" << true;
        QTest::newRow("with the right") << "2"
                                        << "S" << true;
        QTest::newRow("right refused") << "2"
                                       << "N" << false;
        QTest::newRow("no rights row") << "2"
                                       << "" << false;
    }
    void direito()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, alterar);
        QFETCH(bool, pode);
        Base b(usuario, alterar.isEmpty() ? nullptr : alterar.toLatin1().constData());
        TEmpresa tela;
        QVERIFY(mostra(&tela));
        QCOMPARE(ligados(&tela), pode ? QStringLiteral("A--") : QStringLiteral("---"));
        tela.FormActivate();
        QCOMPARE(ligados(&tela), pode ? QStringLiteral("A--") : QStringLiteral("---"));

        // Typing into a field opens the company for change, or is refused without the right.
        digita(&tela, "w_Fantasia", QStringLiteral("CANTINA"));
        if (pode) {
            QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Edit);
            QCOMPARE(ligados(&tela), QStringLiteral("-CN"));
            botao(&tela, "Confirmar")->click();
            QCOMPARE(b.caixas.textos(), QStringList());
            QCOMPARE(b.coluna("select FANTASIA from EMPRESAS where ID = 1").toString(), QStringLiteral("CANTINA"));
            QCOMPARE(ligados(&tela), QStringLiteral("A--"));
        } else {
            QCOMPARE(b.caixas.textos().value(0), QStringLiteral("Usuário não tem acesso para editar."));
            QCOMPARE(int(b.caixas.caixas().first().tipo), int(TipoCaixa::Aviso));
            QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Browse);
            QCOMPARE(filho<QLineEdit>(&tela, "w_Fantasia")->text(), QStringLiteral("RESTAURANTE POPULAR"));
            botao(&tela, "Alterar")->click();
            QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Browse);
            // Nor does a picture get in.
            QTemporaryDir pasta;
            b.caixas.respondeArquivo(bmp(pasta, Qt::blue));
            emit filho<DBImage>(&tela, "w_Logo")->duploClique();
            QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Browse);
            QVERIFY(b.coluna("select LOGO from EMPRESAS where ID = 1").isNull());
        }
    }

    void alterarEGravarLeDeNovo()
    {
        Base b;
        b.db.exec(QStringLiteral("insert into EMPRESAS (CNPJ, RAZAOSOCIAL, FANTASIA) values ('11444777000161', "
                                 "'SEGUNDA LTDA', 'SEGUNDA')"));
        TEmpresa tela;
        QVERIFY(mostra(&tela));
        botao(&tela, "BotaoProximo")->click();
        QCOMPARE(filho<QLineEdit>(&tela, "w_RazaoSocial")->text(), QStringLiteral("SEGUNDA LTDA"));
        botao(&tela, "Alterar")->click();
        QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Edit);
        digita(&tela, "w_Bairro", QStringLiteral("COMERCIO"));
        botao(&tela, "Confirmar")->click();
        QCOMPARE(b.coluna("select BAIRRO from EMPRESAS where RAZAOSOCIAL = 'SEGUNDA LTDA'").toString(),
                 QStringLiteral("COMERCIO"));
        // Saving reads the rows again: the first company is shown.
        QCOMPARE(filho<QLineEdit>(&tela, "w_RazaoSocial")->text(), QStringLiteral("RESTAURANTE POPULAR (A DEFINIR)"));
    }

    void somenteLeitura()
    {
        Base b;
        TEmpresa tela;
        QVERIFY(mostra(&tela));
        for (const char* nome : {"w_RazaoSocial", "w_CNPJ"}) {
            auto* e = filho<QLineEdit>(&tela, nome);
            QVERIFY(e->isReadOnly());
            QCOMPARE(e->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x95));
            digita(&tela, nome, QStringLiteral("99"));
            QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Browse);
        }
        QCOMPARE(filho<QLineEdit>(&tela, "w_CNPJ")->text(), QStringLiteral("11.222.333/0001-81"));
    }

    void estado()
    {
        Base b;
        TEmpresa tela;
        QVERIFY(mostra(&tela));
        auto* uf = filho<DBComboBox>(&tela, "w_UF");
        QCOMPARE(uf->count(), 26);
        QCOMPARE(uf->itemText(0), QStringLiteral("AC- ACRE"));
        QCOMPARE(uf->itemText(14), QStringLiteral("PB - PARAÍBA"));
        QCOMPARE(uf->itemText(25), QStringLiteral("TO - TOCANTINS"));
        QCOMPARE(uf->currentText(), QStringLiteral("AC- ACRE")); // UF 1 in UNIDADEFEDERACAO
        const int bahia = uf->findText(QStringLiteral("BA- BAHIA"));
        uf->setCurrentIndex(bahia);
        emit uf->activated(bahia);
        QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Edit);
        botao(&tela, "Confirmar")->click();
        QCOMPARE(b.caixas.textos(), QStringList());
        QCOMPARE(
            b.coluna("select u.UF from EMPRESAS e join UNIDADEFEDERACAO u on u.ID = e.UF where e.ID = 1").toString(),
            QStringLiteral("BA"));
        QCOMPARE(uf->currentText(), QStringLiteral("BA- BAHIA"));
    }

    void fantasiaObrigatoria()
    {
        Base b;
        TEmpresa tela;
        QVERIFY(mostra(&tela));
        auto* fantasia = filho<QLineEdit>(&tela, "w_Fantasia");
        fantasia->setFocus();
        fantasia->selectAll();
        QTest::keyClick(fantasia, Qt::Key_Delete);
        botao(&tela, "Confirmar")->click();
        QCOMPARE(b.caixas.textos(), QStringList{"Campo 'FANTASIA' deve possuir um valor."});
        QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Edit);
        // Cancelling asks nothing; a double click on the help button does the same.
        botao(&tela, "NaoConfirmar")->click();
        QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Browse);
        QCOMPARE(fantasia->text(), QStringLiteral("RESTAURANTE POPULAR"));
        digita(&tela, "w_Fantasia", QStringLiteral("X"));
        QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Edit);
        QTest::mouseDClick(filho(&tela, "BotaoAjuda"), Qt::LeftButton);
        QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Browse);
        QCOMPARE(b.caixas.textos().size(), 1);
    }

    void ativacaoLeDeNovo()
    {
        Base b;
        TEmpresa tela;
        QVERIFY(mostra(&tela));
        b.db.exec(QStringLiteral("update EMPRESAS set FANTASIA = 'OUTRO NOME' where ID = 1"));
        tela.FormActivate();
        QCOMPARE(filho<QLineEdit>(&tela, "w_Fantasia")->text(), QStringLiteral("OUTRO NOME"));
        // A change in progress survives coming back to the screen.
        digita(&tela, "w_Cidade", QStringLiteral("FEIRA"));
        filho<QLineEdit>(&tela, "w_Bairro")->setFocus(); // leaving the box writes it
        tela.FormActivate();
        QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Edit);
        QCOMPARE(b.dados.Empresas->value("CIDADE").toString(), QStringLiteral("FEIRA"));
    }

    void logo()
    {
        Base b;
        TEmpresa tela;
        QVERIFY(mostra(&tela));
        QTemporaryDir pasta;
        b.caixas.respondeArquivo(bmp(pasta, Qt::red));
        emit filho<DBImage>(&tela, "w_Logo")->duploClique();
        QCOMPARE(b.caixas.arquivosPedidos().size(), 1);
        QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Edit);
        botao(&tela, "Confirmar")->click();
        QImage gravada;
        QVERIFY(gravada.loadFromData(b.coluna("select LOGO from EMPRESAS where ID = 1").toByteArray()));
        QCOMPARE(gravada.pixelColor(0, 0), QColor(Qt::red));

        // Copy, cut (empties the logo), paste (brings it back).
        botao(&tela, "BotaoCopiar")->click();
        QCOMPARE(QGuiApplication::clipboard()->image().pixelColor(0, 0), QColor(Qt::red));
        botao(&tela, "BotaoRecortar")->click();
        QVERIFY(!filho<DBImage>(&tela, "w_Logo")->temImagem());
        botao(&tela, "Confirmar")->click();
        QVERIFY(b.coluna("select LOGO from EMPRESAS where ID = 1").isNull());
        botao(&tela, "BotaoColar")->click();
        botao(&tela, "Confirmar")->click();
        QImage colada;
        QVERIFY(colada.loadFromData(b.coluna("select LOGO from EMPRESAS where ID = 1").toByteArray()));
        QCOMPARE(colada.size(), QSize(16, 12));
        QCOMPARE(b.caixas.textos(), QStringList());
    }

    // Maximised in the main window of a 1366x768 screen (less a title bar and a desktop panel), the
    // whole screen fits: its buttons and both rows of tabs, on either inner tab.
    void cabeEm1366x768()
    {
        Base b;
        telas::limpa();
        registraTelasDoSistema();
        TPrincipal p;
        p.PrimeiraVez = false; // no login here
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        p.setWindowState(Qt::WindowNoState); // the test's screen is not the restaurant's
        p.resize(1366, 768 - 60);
        QTRY_COMPARE(p.size(), QSize(1366, 768 - 60));
        QAction* entrada = p.findChild<QAction*>(QStringLiteral("Opcao36"));
        QVERIFY(entrada);
        entrada->trigger();
        QMdiSubWindow* sub = p.subJanela(QStringLiteral("Opcao36"));
        QVERIFY(sub && sub->isMaximized());
        QWidget* tela = sub->widget();
        QWidget* area = p.AreaTelas->viewport();
        const QRect visivel(area->mapTo(&p, QPoint(0, 0)), area->size());
        auto* interno = filho<QTabWidget>(tela, "PageControl2");
        for (int aba = 0; aba < interno->count(); ++aba) {
            interno->setCurrentIndex(aba);
            QApplication::processEvents();
            QStringList fora;
            for (QWidget* w : tela->findChildren<QWidget*>()) {
                if (!w->isVisible() || w->size().isEmpty()) continue;
                const QRect r(w->mapTo(&p, QPoint(0, 0)), w->size());
                if (!visivel.contains(r))
                    fora << QStringLiteral("%1 %2")
                                .arg(w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName())
                                .arg(QStringLiteral("(%1,%2 %3x%4)")
                                         .arg(r.x())
                                         .arg(r.y())
                                         .arg(r.width())
                                         .arg(r.height()));
            }
            QVERIFY2(
                fora.isEmpty(),
                qPrintable(QStringLiteral("aba %1, área %2x%3: ").arg(aba).arg(visivel.width()).arg(visivel.height()) +
                           fora.join(", ")));
        }
        telas::limpa();
    }
};

QTEST_MAIN(CompanyScreen)
#include "gui_empresa.moc"
