// The database server lost while the program runs: the connection is cut under the program (a relay
// between it and the server is dropped, as a stopped server drops its connections) and the next
// action ends in the error report with the server's message — no crash, no hang, no flood of boxes —
// and what was committed before is still there when the server is back.
#include "app/telas.h"
#include "app/xPrincipal.h"
#include "clients/Pacientes.h"
#include "common/global.h"
#include "data/arquivos.h"
#include "proxytcp.h"
#include "simuladorbalanca.h"
#include "testdb.h"
#include "weighing/xPessagem.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace {

// The test database as seen through the relay.
fb::ConnectionSettings viaRelay(const TestDatabase& db, const ProxyTcp& relay)
{
    fb::ConnectionSettings s = db.settings();
    const qsizetype doisPontos = s.database.indexOf(u':');
    s.database = QStringLiteral("127.0.0.1/%1").arg(relay.porta()) + s.database.mid(doisPontos);
    return s;
}

int portaDoServidor(const TestDatabase& db)
{
    const QString banco = db.settings().database;
    const qsizetype barra = banco.indexOf(u'/'), doisPontos = banco.indexOf(u':');
    return banco.mid(barra + 1, doisPontos - barra - 1).toInt();
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
    // server's own words, and nothing else.
    void confereRelato(const char* acao)
    {
        QTest::qWait(100); // let any late repaint or fetch show its box too
        const QStringList textos = caixas.textos();
        QVERIFY2(!textos.isEmpty(), acao);
        QVERIFY2(textos.size() <= 2, qPrintable(QString::fromLatin1(acao) + ": " + textos.join(" | ")));
        for (const auto& c : caixas.caixas()) {
            QVERIFY2(c.tipo == TipoCaixa::Erro, qPrintable(c.texto));
            const QStringList linhas = c.texto.split(u'\n');
            QCOMPARE(linhas.size(), 2);
            QCOMPARE(linhas[0], QStringLiteral("Sem conexão com o servidor do banco de dados."));
            QVERIFY2(linhas[1].contains(QStringLiteral("connection"), Qt::CaseInsensitive),
                     qPrintable(QString::fromLatin1(acao) + ": " + c.texto));
        }
        caixas.limpa();
    }

private Q_SLOTS:
    void init()
    {
        db = std::make_unique<TestDatabase>();
        relay = std::make_unique<ProxyTcp>(portaDoServidor(*db));
        dados = std::make_unique<TDados>(viaRelay(*db, *relay));
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
        QTest::mouseClick(filho<QAbstractButton>(tela.get(), "Button4"), Qt::LeftButton);
        QTest::mouseClick(filho<QAbstractButton>(tela.get(), "Alterar"), Qt::LeftButton);
        auto* nome = filho<QLineEdit>(tela.get(), "w_Nome");
        nome->selectAll();
        QTest::keyClicks(nome, "ANA SOUZA LIMA");
        QTest::mouseClick(filho<QAbstractButton>(tela.get(), "Confirmar"), Qt::LeftButton);
        QVERIFY2(caixas.caixas().isEmpty(), qPrintable(caixas.textos().join('|')));
        QCOMPARE(db->valor(QStringLiteral("SELECT NOME FROM CLIENTE")).toString(), QStringLiteral("ANA SOUZA LIMA"));
        QTest::mouseClick(filho<QAbstractButton>(tela.get(), "Alterar"), Qt::LeftButton);
        nome->selectAll();
        QTest::keyClicks(nome, "ANA LIMA");

        relay->derruba();

        // The write fails; the typed text stays on the screen, still being edited.
        QTest::mouseClick(filho<QAbstractButton>(tela.get(), "Confirmar"), Qt::LeftButton);
        confereRelato("Confirmar");
        QCOMPARE(nome->text(), QStringLiteral("ANA LIMA"));
        QCOMPARE(Dados->Cliente->state(), EstadoDataset::Edit);
        caixas.responde(Botao::Sim);
        QTest::mouseClick(filho<QAbstractButton>(tela.get(), "NaoConfirmar"), Qt::LeftButton);
        caixas.limpa();

        // Moving: the first move reports; a screen whose list is closed offers nothing more.
        for (const char* botao : {"Button1", "Button2", "Button3", "Button4", "Incluir", "Alterar", "Excluir"}) {
            auto* b = filho<QAbstractButton>(tela.get(), botao);
            const bool ligado = b->isEnabled();
            QTest::mouseClick(b, Qt::LeftButton);
            if (ligado) confereRelato(botao);
        }
        tela.reset(); // closing the screen over a dead line

        relay->religa();
        QCOMPARE(db->valor(QStringLiteral("SELECT NOME FROM CLIENTE")).toString(), QStringLiteral("ANA SOUZA LIMA"));
        QCOMPARE(db->valor(QStringLiteral("SELECT COUNT(*) FROM CLIENTE")).toInt(), 1);
    }

    void refeicaoNoBalcao()
    {
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
        auto umaRefeicao = [&] {
            filho<QAbstractButton>(&tela, "Incluir")->click();
            cpf->setFocus();
            QTest::keyClicks(cpf, "12345678909");
            filho(&tela, "w_Observacao")->setFocus();
            filho<QAbstractButton>(&tela, "BotaoPesar")->click();
        };
        umaRefeicao();
        filho<QAbstractButton>(&tela, "Confirmar")->click();
        QVERIFY2(caixas.caixas().isEmpty(), qPrintable(caixas.textos().join('|')));
        const QString primeira = filho<QLineEdit>(&tela, "w_ID")->text();
        QCOMPARE(db->valor(QStringLiteral("SELECT COUNT(*) FROM REFEICAO")).toInt(), 1);

        umaRefeicao();
        QVERIFY2(caixas.caixas().isEmpty(), qPrintable(caixas.textos().join('|')));
        relay->derruba();
        filho<QAbstractButton>(&tela, "Confirmar")->click();
        confereRelato("Confirmar");
        // The meal is still on the screen as typed and weighed.
        QCOMPARE(filho<QLabel>(&tela, "Estado")->text(), QStringLiteral("Incluindo..."));
        QCOMPARE(tela.Refeicao->field("CPF").asString(), QStringLiteral("12345678909"));
        QCOMPARE(tela.Refeicao->field("PESO").asFloat(), 0.45);

        relay->religa();
        QCOMPARE(db->valor(QStringLiteral("SELECT ID FROM REFEICAO")).toString(), primeira);
    }

    void programaInteiro()
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
        TPrincipal p;
        p.show();
        QVERIFY(QTest::qWaitFor([&] { return !p.PrimeiraVez; }, 5000));
        QVERIFY2(caixas.caixas().isEmpty(), qPrintable(caixas.textos().join('|')));
        const int sessao = db->valor(QStringLiteral("SELECT MAX(ID) FROM LOGUSUARIO")).toInt();
        QVERIFY(sessao > 0);

        relay->derruba();
        for (QAction* a : {p.Opcao00, p.Opcao10, p.Opcao06, p.Opcao36}) {
            a->trigger();
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

    void semServidorNaPartida()
    {
        dados.reset();
        relay->derruba();
        QVERIFY(Comedal(viaRelay(*db, *relay)) != 0);
        QCOMPARE(caixas.caixas().size(), 1);
        const auto& c = caixas.caixas()[0];
        QCOMPARE(c.tipo, TipoCaixa::Erro);
        QVERIFY2(c.texto.startsWith(QStringLiteral("Sem conexão com o servidor do banco de dados.\n")) &&
                     c.texto.contains(QStringLiteral("Unable to complete network request")),
                 qPrintable(c.texto));
        QVERIFY(!Dados);
    }
};

QTEST_MAIN(ServidorPerdido)
#include "gui_servidorperdido.moc"
