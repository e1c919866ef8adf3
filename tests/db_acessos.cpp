// The program catalogue and the rights of each user, on a real database: what the main window
// registers when it opens a screen, what "&Mapear Menu" rebuilds from the live menu, and which
// rights a screen reads for the user who is working.
#include "app/menuacessos.h"
#include "common/acessos.h"
#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/sessao.h"
#include "data/arquivos.h"
#include "testdb.h"

#include <QMenu>
#include <QMenuBar>
#include <QtTest>

using Linha = QVariantList;

class Acessos : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDados> dados;
    DialogosRoteirizados caixas;

    QList<Linha> consulta(const QString& sql)
    {
        fb::Attachment att = db->attach();
        fb::Transaction tra(att);
        fb::Statement s(att, tra, sql);
        s.execute();
        QList<Linha> linhas;
        while (s.fetch()) {
            Linha l;
            for (int i = 0; i < s.columnCount(); ++i)
                l << s.value(i);
            linhas << l;
        }
        return linhas;
    }

    // The catalogue as (name, horizontal, vertical, submenu), in menu order.
    QList<Linha> catalogo()
    {
        QList<Linha> r;
        for (const Linha& l : consulta("SELECT PROGRAMA, MENUHORIZONTAL, MENUVERTICAL, SUBMENU FROM PROGRAMAS "
                                       "ORDER BY MENUHORIZONTAL, MENUVERTICAL, SUBMENU"))
            r << Linha{l[0].toString(), l[1].toInt(), l[2].toInt(), l[3].toInt()};
        return r;
    }

    void direito(int usuario, const QString& programa, const char* flags)
    {
        fb::Attachment att = db->attach();
        fb::Transaction tra(att);
        fb::Statement s(att, tra,
                        "INSERT INTO ACESSOS (USUARIO, PROGRAMA, INCLUIR, ALTERAR, EXCLUIR) "
                        "VALUES (:USUARIO, :PROGRAMA, :I, :A, :E)");
        s.setParameter("USUARIO", usuario);
        s.setParameter("PROGRAMA", programa);
        s.setParameter("I", QString(QChar(flags[0])));
        s.setParameter("A", QString(QChar(flags[1])));
        s.setParameter("E", QString(QChar(flags[2])));
        s.execute();
        tra.commit();
    }

    // The main menu as the main window builds it.
    struct Menu
    {
        QMenuBar barra;
        QAction *fornecedores, *analiticos, *porDia, *controle, *mapear;
        Menu()
        {
            QMenu* cad = barra.addMenu("&Cadastros");
            cad->addAction("&Clientes");
            fornecedores = cad->addAction("Clientes/&Fornecedores");
            cad->addAction("&Usuários");
            barra.addMenu("&Lançamentos")->addAction("&Pesagem");
            QMenu* rel = barra.addMenu("&Relatórios");
            QMenu* ana = rel->addMenu("Relatórios &Analíticos");
            analiticos = ana->menuAction();
            analiticos->setProperty("Tag", 1);
            porDia = ana->addAction("Analítico por &Dia");
            QMenu* ut = barra.addMenu("&Utilitários");
            ut->addAction("&Exibir/Esconder Barra de Atalho")->setProperty("Tag", -1);
            ut->addSeparator()->setProperty("Tag", -1);
            controle = ut->addAction("Controle de Acesso");
            ut->addAction("&Dados da Empresa");
            mapear = ut->addAction("&Mapear Menu");
            ut->addAction("Sincronizar Dados");
            QMenu* ajuda = barra.addMenu("&Ajuda");
            ajuda->menuAction()->setProperty("Tag", -1);
            ajuda->addAction("&Sobre...")->setProperty("Tag", -1);
            for (QAction* a : {fornecedores, porDia, controle, mapear})
                a->setEnabled(false);
            for (QAction* a : {fornecedores, controle, mapear})
                a->setVisible(false);
            barra.actions().at(2)->setEnabled(false); // a top-level entry switched off
        }
    };

    static QList<Linha> noveLinhas()
    {
        return {{"Clientes", 0, 0, -1},         {"Clientes/Fornecedores", 0, 1, -1}, {"Usuários", 0, 2, -1},
                {"Pesagem", 1, 0, -1},          {"Analítico por Dia", 2, 0, 0},      {"Controle de Acesso", 3, 2, -1},
                {"Dados da Empresa", 3, 3, -1}, {"Mapear Menu", 3, 4, -1},           {"Sincronizar Dados", 3, 5, -1}};
    }

private Q_SLOTS:
    void init()
    {
        db = std::make_unique<TestDatabase>();
        dados = std::make_unique<TDados>(db->settings());
        caixas.limpa();
        defineDialogos(&caixas);
        sessao().UsuarioEmUso = "1";
    }
    void cleanup()
    {
        defineDialogos(nullptr);
        dados.reset();
        db.reset();
        sessao().UsuarioEmUso.clear();
    }

    void tiraEcomercialTiraTodas_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("uma") << "&Clientes"
                             << "Clientes";
        QTest::newRow("várias") << "A&B&&C&"
                                << "ABC";
        QTest::newRow("nenhuma") << "Usuários"
                                 << "Usuários";
    }
    void tiraEcomercialTiraTodas()
    {
        QFETCH(QString, texto);
        QFETCH(QString, esperado);
        QCOMPARE(tiraEcomercial(texto), esperado);
    }

    void primeiraAberturaRegistraUmaVez()
    {
        QVERIFY(BuscaProg("Clientes", 0, 0, -1, "F"));
        QVERIFY(BuscaProg("  Clientes ", 0, 0, -1, "F")); // the same program, again
        QCOMPARE(catalogo(), (QList<Linha>{{"Clientes", 0, 0, -1}}));
        QVERIFY(BuscaProg("Usuários", 0, 2, -1, "F"));
        QCOMPARE(catalogo(), (QList<Linha>{{"Clientes", 0, 0, -1}, {"Usuários", 0, 2, -1}}));
        QVERIFY(caixas.caixas().isEmpty());
    }

    void nomeGuardadoComAte46Caracteres_data()
    {
        QTest::addColumn<QString>("rotina");
        QTest::addColumn<QString>("guardado");
        const QString n46 = QString("Relatório de refeições servidas por período ").leftJustified(46, 'x');
        QTest::newRow("46") << n46 << n46;
        QTest::newRow("50") << n46 + "ABCD" << n46;
        QTest::newRow("corte num espaço") << QString(45, 'a') + "  fim" << QString(45, 'a');
        QTest::newRow("aspas") << "Relação D'Ávila"
                               << "Relação D'Ávila";
    }
    void nomeGuardadoComAte46Caracteres()
    {
        QFETCH(QString, rotina);
        QFETCH(QString, guardado);
        QVERIFY(BuscaProg(rotina, 1, 2, 3, "F"));
        QVERIFY(BuscaProg(rotina, 1, 2, 3, "F")); // found cut: not appended again
        QCOMPARE(catalogo(), (QList<Linha>{{guardado, 1, 2, 3}}));
    }

    void mesmoNomeEmOutraCaixaNaoDuplica()
    {
        db->exec(
            "INSERT INTO PROGRAMAS (PROGRAMA, MENUHORIZONTAL, MENUVERTICAL, SUBMENU) VALUES ('CLIENTES', 9, 9, 9)");
        QVERIFY(BuscaProg("Clientes", 0, 0, -1, "F"));
        QCOMPARE(catalogo(), (QList<Linha>{{"CLIENTES", 9, 9, 9}}));
    }

    void linhaQueNaoGravaEDescartada()
    {
        db->exec("ALTER TABLE PROGRAMAS ADD CONSTRAINT CK_TESTE CHECK (PROGRAMA <> 'Proibido')");
        QVERIFY(BuscaProg("Proibido", 0, 0, -1, "F")); // the screen opens all the same
        QVERIFY(catalogo().isEmpty());
        QVERIFY(caixas.caixas().isEmpty());
        QCOMPARE(dados->Programa->state(), EstadoDataset::Browse);
        QVERIFY(BuscaProg("Clientes", 0, 0, -1, "F")); // the transaction goes on working
        QCOMPARE(catalogo(), (QList<Linha>{{"Clientes", 0, 0, -1}}));
    }

    void resposta_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<bool>("selecionado"); // Acessos selected on the user's rows, as after a login
        QTest::addColumn<QString>("programa");
        QTest::addColumn<bool>("esperado");
        QTest::addColumn<QString>("direitos"); // DireitosDoPrograma: incluir, alterar, excluir

        QTest::newRow("administrador") << "1" << false << "Pesagem" << true << "SSS";
        QTest::newRow("sem linha de direitos") << "5" << true << "Pesagem" << false << "NNN";
        QTest::newRow("com linha") << "5" << true << "Clientes" << true << "SNS";
        // The rights are read again from the database, whatever rows Acessos held.
        QTest::newRow("linha fora do conjunto aberto") << "5" << false << "Clientes" << true << "SNS";
        QTest::newRow("nome com aspas") << "5" << false << "Relação D'Ávila" << true << "NSN";
        QTest::newRow("nome com aspas, selecionado") << "5" << true << "Relação D'Ávila" << true << "NSN";
        QTest::newRow("outro usuário tem o direito") << "7" << true << "Clientes" << false << "NNN";
    }
    void resposta()
    {
        QFETCH(QString, usuario);
        QFETCH(bool, selecionado);
        QFETCH(QString, programa);
        QFETCH(bool, esperado);
        QFETCH(QString, direitos);
        direito(1, "Clientes", "SSS");
        direito(5, "Clientes", "SNS");
        direito(5, "Relação D'Ávila", "NSN");
        dados->Acessos->open(); // as the main window does before the login: user 1's rows
        if (selecionado) SelecionaAcessos(usuario.toInt());
        sessao().UsuarioEmUso = usuario;

        QCOMPARE(BuscaProg(programa, 0, 0, -1, "F"), esperado);
        const Direitos d = DireitosDoPrograma(programa);
        QCOMPARE(QString("%1%2%3").arg(d.incluir ? 'S' : 'N').arg(d.alterar ? 'S' : 'N').arg(d.excluir ? 'S' : 'N'),
                 direitos);
    }

    void acessosFechadoNaoDaDireito()
    {
        direito(5, "Clientes", "SSS");
        sessao().UsuarioEmUso = "5";
        QVERIFY(!BuscaProg("Clientes", 0, 0, -1, "F"));
        QVERIFY(!DireitosAtuais().incluir);
    }

    void naoAdministradorLeOsProprios()
    {
        direito(1, "Clientes", "SSS");
        direito(5, "Clientes", "NSN");
        direito(5, "Usuários", "SSS");
        dados->Acessos->open();
        SelecionaAcessos(5); // the accepted login
        sessao().UsuarioEmUso = "5";

        QVERIFY(BuscaProg("Clientes", 0, 0, -1, "F"));
        QCOMPARE(dados->Acessos->value("USUARIO").toInt(), 5);
        QCOMPARE(dados->Acessos->value("PROGRAMA").toString(), QString("Clientes"));
        const Direitos d = DireitosAtuais();
        QVERIFY(!d.incluir);
        QVERIFY(d.alterar);
        QVERIFY(!d.excluir);
        dados->Acessos->fetchAll();
        QCOMPARE(dados->Acessos->recordCount(), 2); // only user 5's rows
    }

    // A right granted (from another workstation, say) after the login counts the next time a
    // screen asks; one taken away stops counting.
    void direitoMudadoDepoisDoLogin()
    {
        direito(5, "Usuários", "NNN");
        dados->Acessos->open();
        SelecionaAcessos(5);
        sessao().UsuarioEmUso = "5";
        QVERIFY(!DireitosDoPrograma("Usuários").incluir);
        db->exec("UPDATE ACESSOS SET INCLUIR = 'S' WHERE USUARIO = 5");
        QVERIFY(DireitosDoPrograma("Usuários").incluir);
        db->exec("DELETE FROM ACESSOS WHERE USUARIO = 5");
        QVERIFY(!DireitosDoPrograma("Usuários").incluir);
    }

    // The screens that apply rights only under DireitosEmTodasAsTelas.
    void direitosDaTela_data()
    {
        QTest::addColumn<QString>("parametro");
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<bool>("incluir");
        QTest::newRow("sem o parâmetro") << ""
                                         << "5" << true;
        QTest::newRow("parâmetro S, sem direito") << "S"
                                                  << "5" << false;
        QTest::newRow("parâmetro S, com direito") << "S"
                                                  << "7" << true;
        QTest::newRow("parâmetro S, administrador") << "S"
                                                    << "1" << true;
        QTest::newRow("outro valor") << "Sim"
                                     << "5" << true;
    }
    void direitosDaTela()
    {
        QFETCH(QString, parametro);
        QFETCH(QString, usuario);
        QFETCH(bool, incluir);
        direito(7, "Pesagem", "SNN");
        parametros().VetorConfig = QStringList{"DIREITOSEMTODASASTELAS"};
        parametros().VetorConfigVal = QStringList{parametro};
        sessao().UsuarioEmUso = usuario;
        QCOMPARE(DireitosDaTela("Pesagem").incluir, incluir);
        parametros().limpa();
    }

    // A catalogue that holds only what the opened screens registered gets the rest of the menu;
    // an empty one is built whole.
    void completaCatalogo_data()
    {
        QTest::addColumn<bool>("comLinhas");
        QTest::newRow("vazio") << false;
        QTest::newRow("com duas linhas") << true;
    }
    void completaCatalogo()
    {
        QFETCH(bool, comLinhas);
        if (comLinhas) {
            QVERIFY(BuscaProg("Usuários", 0, 2, -1, "F"));
            db->exec(
                "INSERT INTO PROGRAMAS (PROGRAMA, MENUHORIZONTAL, MENUVERTICAL, SUBMENU) VALUES ('Antigo', 9, 0, -1)");
        }
        Menu menu;
        CompletaCatalogo(descreveMenu(&menu.barra));
        QList<Linha> esperado = noveLinhas();
        if (comLinhas) esperado << Linha{"Antigo", 9, 0, -1}; // nothing removed
        QCOMPARE(catalogo(), esperado);
        QVERIFY(caixas.caixas().isEmpty());
    }

    void linhaDeOutroUsuarioNaoDaDireito()
    {
        // Acessos still on user 1's rows (no login happened): user 5 must not read them.
        direito(1, "Clientes", "SSS");
        dados->Acessos->open();
        sessao().UsuarioEmUso = "5";
        QVERIFY(dados->Acessos->locate({"PROGRAMA"}, {"Clientes"}));
        const Direitos d = DireitosAtuais();
        QVERIFY(!d.incluir && !d.alterar && !d.excluir);
        sessao().UsuarioEmUso = "1";
        const Direitos a = DireitosAtuais();
        QVERIFY(a.incluir && a.alterar && a.excluir);
    }

    void reconstroiComAsNoveLinhas()
    {
        db->exec(
            "INSERT INTO PROGRAMAS (PROGRAMA, MENUHORIZONTAL, MENUVERTICAL, SUBMENU) VALUES ('Clientes', 5, 5, 5);"
            "INSERT INTO PROGRAMAS (PROGRAMA, MENUHORIZONTAL, MENUVERTICAL, SUBMENU) VALUES ('Antigo', 0, 9, -1);");
        dados->Programa->close();
        dados->Programa->setLinha(1, "WHERE PROGRAMA = 'Antigo'"); // another selection left by someone
        Menu menu;
        QCOMPARE(GeraControleAcesso(descreveMenu(&menu.barra)), QString("Menu Gerado com Sucesso!"));
        QCOMPARE(catalogo(), noveLinhas());
        QCOMPARE(dados->Programa->linha(1), QString("WHERE (1=1)"));
        QVERIFY(caixas.caixas().isEmpty());

        // Top and second level enabled, third level and visibility untouched.
        for (QAction* a : menu.barra.actions())
            QVERIFY(a->isEnabled());
        QVERIFY(!menu.fornecedores->isVisible());
        QVERIFY(!menu.mapear->isVisible());
        QVERIFY(!menu.porDia->isEnabled());
        // Qt keeps a hidden action disabled; the enabling shows once it is visible.
        for (QAction* a : {menu.fornecedores, menu.controle, menu.mapear}) {
            a->setVisible(true);
            QVERIFY2(a->isEnabled(), qPrintable(a->text()));
        }
    }

    void falhaDeUmaLinhaAvisaESegue()
    {
        std::vector<ItemMenu> menu(1);
        menu[0].caption = "&Cadastros";
        menu[0].sub = {{"&Clientes", 0, {}, {}}, {"Clientes&", 0, {}, {}}, {"&Usuários", 0, {}, {}}};
        QCOMPARE(GeraControleAcesso(menu), QString("Menu Gerado com Sucesso!"));
        QCOMPARE(catalogo(), (QList<Linha>{{"Clientes", 0, 0, -1}, {"Usuários", 0, 2, -1}}));
        QCOMPARE(caixas.caixas().size(), 1);
        const auto aviso = caixas.caixas().first();
        QCOMPARE(aviso.tipo, TipoCaixa::Aviso);
        QVERIFY2(aviso.texto.startsWith("Erro  ") && aviso.texto.endsWith("   ao Criar acesso:Clientes&"),
                 qPrintable(aviso.texto));
        QCOMPARE(dados->Programa->state(), EstadoDataset::Browse);
    }

    void mapearMenu_data()
    {
        QTest::addColumn<int>("resposta");
        QTest::addColumn<bool>("refeito");
        QTest::newRow("sim") << int(Botao::Sim) << true;
        QTest::newRow("não") << int(Botao::Nao) << false;
    }
    void mapearMenu()
    {
        QFETCH(int, resposta);
        QFETCH(bool, refeito);
        db->exec("INSERT INTO PROGRAMAS (PROGRAMA, MENUHORIZONTAL, MENUVERTICAL, SUBMENU) VALUES ('Antigo', 0, 9, -1)");
        Menu menu;
        caixas.responde(resposta);
        MapearMenu(&menu.barra);
        QCOMPARE(caixas.caixas().first().tipo, TipoCaixa::Confirmacao);
        QCOMPARE(caixas.caixas().first().texto, QString("Você gostaria realmente de Refazer o Menu?"));
        if (refeito) {
            QCOMPARE(caixas.textos(),
                     (QStringList{"Você gostaria realmente de Refazer o Menu?", "Menu Gerado com Sucesso!"}));
            QCOMPARE(caixas.caixas().last().tipo, TipoCaixa::Informacao);
            QCOMPARE(catalogo(), noveLinhas());
        } else {
            QCOMPARE(caixas.caixas().size(), 1);
            QCOMPARE(catalogo(), (QList<Linha>{{"Antigo", 0, 9, -1}}));
        }
    }
};

QTEST_MAIN(Acessos)
#include "db_acessos.moc"
