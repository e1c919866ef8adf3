// The database server lost while the program runs: the connection is cut under the program (a relay
// between it and the server is dropped, as a stopped server drops its connections, or the
// administrator drops it on the server) and the next action ends in the error report with the
// server's message — no crash, no hang, no flood of boxes — and what was committed before is still
// there when the server is back. Once it is back, the next action connects again and works: what
// was being typed is stored once, and the screens show data again.
#include "app/telas.h"
#include "app/xPrincipal.h"
#include "clients/Pacientes.h"
#include "common/global.h"
#include "common/ui/dbgrid.h"
#include "common/ui/relatorioerro.h"
#include "data/arquivos.h"
#include "proxytcp.h"
#include "simuladorbalanca.h"
#include "testdb.h"
#include "vigia.h"
#include "weighing/xPessagem.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QtTest>

namespace {

// The text of a column of the grid, row by row, as the operator reads it.
QStringList colunaDaGrade(DBGrid* grade, const QString& titulo)
{
    QAbstractItemModel* m = grade->model();
    int coluna = -1;
    for (int c = 0; c < m->columnCount(); ++c)
        if (m->headerData(c, Qt::Horizontal).toString() == titulo) coluna = c;
    QStringList textos;
    for (int r = 0; coluna >= 0 && r < m->rowCount(); ++r)
        textos << m->index(r, coluna).data().toString();
    return textos;
}

} // namespace

class ServidorPerdido : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ProxyTcp> relay;
    std::unique_ptr<TDados> dados;
    DialogosRoteirizados caixas;

    template <class T = QWidget> static T* filho(QWidget* tela, const char* nome)
    {
        T* c = tela->findChild<T*>(QString::fromLatin1(nome));
        if (!c) qFatal("widget %s not found", nome);
        return c;
    }

    // The boxes an action raised once the server is gone: the error report, carrying the
    // server's own words (the connection lost, or, while the server is still away, the connection
    // that could not be made again), and nothing else.
    void confereRelato(const char* acao, int maximo = 2)
    {
        QTest::qWait(100); // let any late repaint or fetch show its box too
        const QStringList textos = caixas.textos();
        QVERIFY2(!textos.isEmpty(), acao);
        QVERIFY2(textos.size() <= maximo, qPrintable(QString::fromLatin1(acao) + ": " + textos.join(" | ")));
        for (const auto& c : caixas.caixas()) {
            QVERIFY2(c.tipo == TipoCaixa::Erro, qPrintable(c.texto));
            const QStringList linhas = c.texto.split(u'\n');
            QVERIFY2(linhas.size() >= 2, qPrintable(c.texto));
            QCOMPARE(linhas[0], QStringLiteral("Sem conexão com o servidor do banco de dados."));
            QVERIFY2(linhas.mid(1).join(u' ').contains(QStringLiteral("connection"), Qt::CaseInsensitive),
                     qPrintable(QString::fromLatin1(acao) + ": " + c.texto));
        }
        caixas.limpa();
    }

    void nenhumaCaixa(const char* acao)
    {
        QVERIFY2(caixas.caixas().isEmpty(), qPrintable(QString::fromLatin1(acao) + ": " + caixas.textos().join('|')));
    }

    // As the operator does it: pressed and released with the mouse.
    static void clica(QWidget* tela, const char* botao)
    {
        QTest::mouseClick(filho<QAbstractButton>(tela, botao), Qt::LeftButton);
    }

    // The program's whole start: the main window, the login as the administrator.
    void entra(TPrincipal& p)
    {
        registraTelasDoSistema();
        caixas.respondeModal([](QObject* janela) {
            if (!qobject_cast<QDialog*>(janela)) return int(QDialog::Rejected);
            Dataset* u = Dados->Usuarios;
            if (!u->active()) u->open();
            u->locate({QStringLiteral("ID")}, {1});
            return int(QDialog::Accepted);
        });
        db->exec(QStringLiteral("UPDATE USUARIOS SET SOLICITASENHA = 'N';"));
        p.show();
        QVERIFY(QTest::qWaitFor([&] { return !p.PrimeiraVez; }, 5000));
        nenhumaCaixa("login");
    }

private Q_SLOTS:
    void init()
    {
        db = std::make_unique<TestDatabase>();
        relay = std::make_unique<ProxyTcp>(db->serverPort());
        dados = std::make_unique<TDados>(db->throughPort(relay->porta()));
        caixas.limpa();
        defineDialogos(&caixas);
        sessao().UsuarioEmUso = QStringLiteral("1");
        sessao().xxLogUsuario = 0;
        parametros().limpa();
    }
    void cleanup()
    {
        telas::limpa();
        dados.reset(); // over a dead line: must neither hang nor throw
        relay.reset();
        defineDialogos(nullptr);
        db.reset();
    }

    void telaDeClientes()
    {
        db->exec(QStringLiteral("INSERT INTO CLIENTE (NOME, MAE, CPF, SEXO, ATIVO, ESCOLARIDADE, COR, CIVIL) "
                                "VALUES ('ANA SOUZA', 'RITA', '11122233396', 'F', 'S', 6, 2, 0);"));
        auto tela = std::make_unique<TCad_Cliente>();
        tela->resize(1100, 760);
        tela->show();
        QVERIFY(QTest::qWaitForWindowExposed(tela.get()));
        clica(tela.get(), "Button4");
        clica(tela.get(), "Alterar");
        auto* nome = filho<QLineEdit>(tela.get(), "w_Nome");
        nome->selectAll();
        QTest::keyClicks(nome, "ANA SOUZA LIMA");
        clica(tela.get(), "Confirmar");
        nenhumaCaixa("Confirmar");
        QCOMPARE(db->valor(QStringLiteral("SELECT NOME FROM CLIENTE")).toString(), QStringLiteral("ANA SOUZA LIMA"));

        relay->derruba();

        // Moving: every move reports, at once; the first one leaves the screen without a client.
        for (const char* botao : {"Button1", "Button2", "Button3", "Button4", "Incluir", "Alterar", "Excluir"}) {
            auto* b = filho<QAbstractButton>(tela.get(), botao);
            const bool ligado = b->isEnabled();
            {
                const Vigia vigia(botao);
                QTest::mouseClick(b, Qt::LeftButton);
            }
            if (ligado) confereRelato(botao);
        }
        caixas.limpa();

        // Back: the operator's next click brings the client back on the screen.
        relay->religa();
        QTest::mouseClick(tela.get(), Qt::LeftButton);
        nenhumaCaixa("clique na tela");
        QCOMPARE(Dados->Cliente->state(), EstadoDataset::Browse);
        QCOMPARE(nome->text(), QStringLiteral("ANA SOUZA LIMA"));
        QVERIFY(filho<QAbstractButton>(tela.get(), "Alterar")->isEnabled());

        clica(tela.get(), "Alterar");
        nome->selectAll();
        QTest::keyClicks(nome, "ANA LIMA");
        relay->derruba();

        // The write fails; the typed text stays on the screen, still being edited, also when the
        // operator tries again or gives up while the server is away.
        clica(tela.get(), "Confirmar");
        confereRelato("Confirmar");
        for (const char* botao : {"Confirmar", "NaoConfirmar"}) {
            {
                const Vigia vigia(botao);
                clica(tela.get(), botao);
            }
            confereRelato(botao, 1);
            QCOMPARE(nome->text(), QStringLiteral("ANA LIMA"));
            QCOMPARE(Dados->Cliente->state(), EstadoDataset::Edit);
        }
        QCOMPARE(db->valor(QStringLiteral("SELECT NOME FROM CLIENTE")).toString(), QStringLiteral("ANA SOUZA LIMA"));

        // Back: the change typed before the loss is saved, once.
        relay->religa();
        caixas.limpa();
        clica(tela.get(), "Confirmar");
        nenhumaCaixa("Confirmar de volta");
        QCOMPARE(Dados->Cliente->state(), EstadoDataset::Browse);
        QCOMPARE(nome->text(), QStringLiteral("ANA LIMA"));
        QCOMPARE(db->valor(QStringLiteral("SELECT NOME FROM CLIENTE")).toString(), QStringLiteral("ANA LIMA"));
        QCOMPARE(db->valor(QStringLiteral("SELECT COUNT(*) FROM CLIENTE")).toInt(), 1);

        relay->derruba();
        clica(tela.get(), "Button1");
        confereRelato("Button1");
        tela.reset(); // closing the screen over a dead line

        relay->religa();
        QCOMPARE(db->valor(QStringLiteral("SELECT NOME FROM CLIENTE")).toString(), QStringLiteral("ANA LIMA"));
        QCOMPARE(db->valor(QStringLiteral("SELECT COUNT(*) FROM CLIENTE")).toInt(), 1);
    }

    void refeicaoNoBalcao_data()
    {
        QTest::addColumn<bool>("servidorParado"); // otherwise the administrator drops the connection
        QTest::newRow("servidor parado e de volta") << true;
        QTest::newRow("conexão derrubada no servidor") << false;
    }

    void refeicaoNoBalcao()
    {
        QFETCH(bool, servidorParado);
        db->exec(
            QStringLiteral("INSERT INTO CLIENTE (NOME, MAE, SEXO, CPF) VALUES ('JOSE', 'MARIA', 'M', '12345678909');"));
        SimuladorBalanca balanca;
        balanca.responderSempre(SimuladorBalanca::peso(0.45));
        TPessagem tela;
        tela.setPortaBalanca(balanca.caminho());
        tela.resize(1000, 700);
        tela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tela));
        auto* cpf = filho<QLineEdit>(&tela, "w_CPF");
        auto* abas = filho<QTabWidget>(&tela, "PageControl1");
        auto* grade = filho<DBGrid>(&tela, "DBGrid1");
        auto umaRefeicao = [&](const char* observacao) {
            clica(&tela, "Incluir");
            cpf->setFocus();
            QTest::keyClicks(cpf, "12345678909");
            auto* memo = filho(&tela, "w_Observacao");
            memo->setFocus();
            QTest::keyClicks(memo, observacao);
            clica(&tela, "BotaoPesar");
        };
        umaRefeicao("PRIMEIRA");
        clica(&tela, "Confirmar");
        nenhumaCaixa("Confirmar");
        const QString primeira = filho<QLineEdit>(&tela, "w_ID")->text();
        QCOMPARE(db->valor(QStringLiteral("SELECT COUNT(*) FROM REFEICAO")).toInt(), 1);
        // The list was shown before the loss: its consumer names were being looked up.
        abas->setCurrentWidget(filho(&tela, "TabListagem"));
        QCOMPARE(colunaDaGrade(grade, QStringLiteral("NOME")), QStringList{QStringLiteral("JOSE")});
        abas->setCurrentWidget(filho(&tela, "Tela1"));

        umaRefeicao("SEM SAL");
        nenhumaCaixa("nova refeição");
        if (servidorParado)
            relay->derruba();
        else
            db->exec(QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION;"));
        clica(&tela, "Confirmar");
        confereRelato("Confirmar");
        // The meal is still on the screen as typed and weighed.
        auto confereNaTela = [&] {
            QCOMPARE(filho<QLabel>(&tela, "Estado")->text(), QStringLiteral("Incluindo..."));
            QCOMPARE(tela.Refeicao->field("CPF").asString(), QStringLiteral("12345678909"));
            QCOMPARE(tela.Refeicao->field("PESO").asFloat(), 0.45);
            QCOMPARE(tela.Refeicao->field("OBSERVACAO").asString(), QStringLiteral("SEM SAL"));
        };
        confereNaTela();
        QCOMPARE(db->valor(QStringLiteral("SELECT COUNT(*) FROM REFEICAO")).toInt(), 1);

        if (servidorParado) {
            // Still away: each try says so at once, in one box, and the meal stays.
            for (int tentativa = 0; tentativa < 2; ++tentativa) {
                {
                    const Vigia vigia("Confirmar sem servidor");
                    clica(&tela, "Confirmar");
                }
                confereRelato("Confirmar sem servidor", 1);
                confereNaTela();
            }
            QCOMPARE(db->valor(QStringLiteral("SELECT COUNT(*) FROM REFEICAO")).toInt(), 1);
            relay->religa();
        }

        // Back: the meal on the counter is stored, once, with what was typed and weighed, and the
        // screen shows it with the key the database gave it.
        clica(&tela, "Confirmar");
        nenhumaCaixa("Confirmar de volta");
        QCOMPARE(filho<QLabel>(&tela, "Estado")->text(), QStringLiteral("Navegando..."));
        const QString segunda = filho<QLineEdit>(&tela, "w_ID")->text();
        QVERIFY(!segunda.isEmpty() && segunda != primeira);
        QCOMPARE(db->valor(QStringLiteral("SELECT COUNT(*) FROM REFEICAO")).toInt(), 2);
        QCOMPARE(db->valor(QStringLiteral("SELECT CPF || '|' || PESO || '|' || OBSERVACAO FROM REFEICAO WHERE ID = %1")
                               .arg(segunda))
                     .toString(),
                 QStringLiteral("12345678909|0.450|SEM SAL"));
        QCOMPARE(filho<QLabel>(&tela, "w_Nome")->text(), QStringLiteral("JOSE"));

        // The list shows both meals, newest first, with the consumer's name.
        abas->setCurrentWidget(filho(&tela, "TabListagem"));
        nenhumaCaixa("Listagem");
        QCOMPARE(colunaDaGrade(grade, QStringLiteral("ID")), (QStringList{segunda, primeira}));
        QCOMPARE(colunaDaGrade(grade, QStringLiteral("NOME")),
                 (QStringList{QStringLiteral("JOSE"), QStringLiteral("JOSE")}));
        abas->setCurrentWidget(filho(&tela, "Tela1"));

        // And the counter goes on as before.
        umaRefeicao("TERCEIRA");
        clica(&tela, "Confirmar");
        nenhumaCaixa("terceira refeição");
        QCOMPARE(db->valor(QStringLiteral("SELECT COUNT(*) FROM REFEICAO")).toInt(), 3);
    }

    void programaInteiro()
    {
        TPrincipal p;
        entra(p);
        if (QTest::currentTestFailed()) return;
        const int sessao = db->valor(QStringLiteral("SELECT MAX(ID) FROM LOGUSUARIO")).toInt();
        QVERIFY(sessao > 0);

        relay->derruba();
        for (QAction* a : {p.Opcao00, p.Opcao10, p.Opcao06, p.Opcao36}) {
            {
                const Vigia vigia(qPrintable(a->objectName()));
                a->trigger();
            }
            confereRelato(qPrintable(a->objectName()));
        }

        // Leaving: the logout time cannot be written; the report says so and the program still ends.
        QSignalSpy fim(&p, &TPrincipal::encerrando);
        caixas.responde(Botao::Sim);
        p.close();
        QTRY_COMPARE_WITH_TIMEOUT(fim.size(), 1, 5000);

        relay->religa();
        QCOMPARE(db->valor(QStringLiteral("SELECT COUNT(*) FROM LOGUSUARIO WHERE ID = %1").arg(sessao)).toInt(), 1);
    }

    void programaDeVolta()
    {
        db->exec(
            QStringLiteral("INSERT INTO CLIENTE (NOME, MAE, SEXO, CPF) VALUES ('JOSE', 'MARIA', 'M', '12345678909');"));
        SimuladorBalanca balanca;
        balanca.responderSempre(SimuladorBalanca::peso(0.3));
        TPrincipal p;
        entra(p);
        if (QTest::currentTestFailed()) return;
        const int sessao = db->valor(QStringLiteral("SELECT MAX(ID) FROM LOGUSUARIO")).toInt();

        p.Opcao10->trigger();
        auto* tela = qobject_cast<TPessagem*>(p.tela(QStringLiteral("Opcao10")));
        QVERIFY(tela);
        tela->setPortaBalanca(balanca.caminho());
        clica(tela, "Incluir");
        auto* cpf = filho<QLineEdit>(tela, "w_CPF");
        cpf->setFocus();
        QTest::keyClicks(cpf, "12345678909");
        filho(tela, "w_Observacao")->setFocus();
        clica(tela, "BotaoPesar");
        nenhumaCaixa("refeição");

        relay->derruba();
        clica(tela, "Confirmar");
        confereRelato("Confirmar");
        p.Opcao00->trigger();
        confereRelato("Opcao00");

        relay->religa();
        clica(tela, "Confirmar");
        nenhumaCaixa("Confirmar de volta");
        QCOMPARE(
            db->valor(QStringLiteral("SELECT COUNT(*) FROM REFEICAO WHERE CPF = '12345678909' AND PESO = 0.3")).toInt(),
            1);
        // The other screens work again: the client record opens on the client.
        p.Opcao00->trigger();
        nenhumaCaixa("Opcao00 de volta");
        QWidget* clientes = p.tela(QStringLiteral("Opcao00"));
        QVERIFY(clientes);
        clica(clientes, "Button4");
        nenhumaCaixa("Button4");
        QCOMPARE(filho<QLineEdit>(clientes, "w_Nome")->text(), QStringLiteral("JOSE"));

        // Lost once more and back before leaving: the logout time is written all the same.
        relay->derruba();
        clica(clientes, "Button1");
        confereRelato("Button1");
        relay->religa();
        QSignalSpy fim(&p, &TPrincipal::encerrando);
        caixas.responde(Botao::Sim);
        p.close();
        QTRY_COMPARE_WITH_TIMEOUT(fim.size(), 1, 5000);
        QVERIFY(!db->valor(QStringLiteral("SELECT SAIDA FROM LOGUSUARIO WHERE ID = %1").arg(sessao)).isNull());
    }

    void semServidorNaPartida()
    {
        dados.reset();
        relay->derruba();
        QVERIFY(Comedal(db->throughPort(relay->porta())) != 0);
        QCOMPARE(caixas.caixas().size(), 1);
        const auto& c = caixas.caixas()[0];
        QCOMPARE(c.tipo, TipoCaixa::Erro);
        QVERIFY2(c.texto.startsWith(QStringLiteral("Sem conexão com o servidor do banco de dados.\n")) &&
                     c.texto.contains(QStringLiteral("Unable to complete network request")),
                 qPrintable(c.texto));
        QVERIFY(!Dados);
    }
};

// The program's own application class: a press or a key starts an action as in the program.
int main(int argc, char** argv)
{
    Aplicacao app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    ServidorPerdido testes;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&testes, argc, argv);
}
#include "gui_servidorperdido.moc"
