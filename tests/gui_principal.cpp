// The main window: its menu, the screens it opens and keeps, the bars, the field information box,
// the login at the first paint, the exit with the logout time, and the start of the program.
#include "app/icone.h"
#include "app/sinais.h"
#include "app/telas.h"
#include "app/xPrincipal.h"
#include "common/global.h"
#include "common/ui/dbedit.h"
#include "common/ui/dbgrid.h"
#include "common/ui/dblookupcombobox.h"
#include "common/ui/dbmemo.h"
#include "common/ui/relatorioerro.h"
#include "data/arquivos.h"
#include "testdb.h"

#include <QAction>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <csignal>

#include <utility>

namespace {

// A screen of the test: a title and whatever boxes a case puts on it.
class TelaFalsa : public QWidget
{
public:
    TelaFalsa(const QString& titulo, QWidget* pai) : QWidget(pai)
    {
        setWindowTitle(titulo);
        new QVBoxLayout(this);
    }
};

int contaLinhas(const TestDatabase& db, const QString& sql)
{
    fb::Attachment att = db.attach();
    fb::Transaction tr;
    tr.start(att);
    fb::Statement st(att, tr, sql);
    st.execute();
    int n = st.fetch() ? st.value(0).toInt() : -1;
    st.close();
    tr.commit();
    return n;
}

// The login window's part of an accepted login: the user's row becomes current.
DialogosRoteirizados::RespostaModal aceitaLogin(int usuario)
{
    return [usuario](QObject* janela) {
        if (!qobject_cast<QDialog*>(janela)) return int(QDialog::Rejected);
        Dataset* u = Dados->Usuarios;
        if (!u->active()) u->open();
        u->locate({QStringLiteral("ID")}, {usuario});
        return int(QDialog::Accepted);
    };
}

} // namespace

class PrincipalTeste : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<TDados> dados_;
    DialogosRoteirizados caixas_;
    QMap<QString, int> criadas_;

    // A screen for the entry, counting its creations.
    void registraFalsa(const QString& entrada, const QString& titulo, Tela::Fechamento fechamento,
                       Tela::Exibicao exibicao = Tela::Exibicao::Filha)
    {
        telas::registra(entrada, Tela{[this, entrada, titulo](QWidget* pai) {
                                          ++criadas_[entrada];
                                          auto* t = new TelaFalsa(titulo, pai);
                                          t->setObjectName(entrada);
                                          return t;
                                      },
                                      exibicao, fechamento});
    }

    // A shown main window whose login was accepted for the user.
    std::unique_ptr<TPrincipal> janelaLogada(int usuario = 1)
    {
        caixas_.respondeModal(aceitaLogin(usuario));
        auto p = std::make_unique<TPrincipal>();
        p->show();
        if (!QTest::qWaitFor([&] { return !p->PrimeiraVez; }, 5000)) return nullptr;
        return p;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Comedal"));
        defineDialogos(&caixas_);
    }

    void init()
    {
        // The menu and the bars need no database.
        static const QSet<QString> semBanco{"ajustaControle", "menu",        "ordemDoMenu",
                                            "acoesPadrao",    "casaEBarras", "edicao"};
        if (!semBanco.contains(QString::fromLatin1(QTest::currentTestFunction()))) {
            db_ = std::make_unique<TestDatabase>();
            dados_ = std::make_unique<TDados>(db_->settings());
        }
        caixas_.limpa();
        telas::limpa();
        criadas_.clear();
        sessao().UsuarioEmUso.clear();
        sessao().xxLogUsuario = 0;
    }

    void cleanup()
    {
        telas::limpa();
        dados_.reset();
        db_.reset();
    }

    void cleanupTestCase() { defineDialogos(nullptr); }

    void ajustaControle_data()
    {
        QTest::addColumn<QString>("legenda");
        QTest::addColumn<QString>("esperada");
        QTest::newRow("marca no início") << "&Clientes"
                                         << "Clientes";
        QTest::newRow("sem marca") << "Usuários"
                                   << "Usuários";
        QTest::newRow("só a marca") << "&"
                                    << "&";
        QTest::newRow("duas marcas: só a última sai") << "A&B&C"
                                                      << "A&BC";
        QTest::newRow("marca no meio") << "Relatórios &Analíticos"
                                       << "Relatórios Analíticos";
        QTest::newRow("marca no fim") << "Fim&"
                                      << "Fim";
        QTest::newRow("vazia") << ""
                               << "";
    }
    void ajustaControle()
    {
        QFETCH(QString, legenda);
        QFETCH(QString, esperada);
        QCOMPARE(AjustaControle(legenda), esperada);
    }

    void menu_data()
    {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<QString>("legenda");
        QTest::addColumn<QKeySequence>("atalho");
        QTest::addColumn<int>("tag");
        QTest::addColumn<bool>("habilitada");
        QTest::addColumn<bool>("visivel");
        QTest::addColumn<bool>("padrao");
        QTest::addColumn<bool>("marcada");
        const QKeySequence nenhum;
        auto linha = [&](const char* e, const char* legenda, QKeySequence atalho, int tag, bool habilitada = true,
                         bool visivel = true, bool padrao = false, bool marcada = false) {
            QTest::newRow(e) << QString::fromLatin1(e) << QString::fromUtf8(legenda) << atalho << tag << habilitada
                             << visivel << padrao << marcada;
        };
        linha("Menu_Cadastro", "&Cadastros", nenhum, 0);
        linha("Opcao00", "&Clientes", nenhum, 0);
        linha("Opcao01", "Clientes/&Fornecedores", QKeySequence("Ctrl+F"), 0, false, false);
        linha("Opcao06", "&Usuários", QKeySequence("Ctrl+U"), 0);
        linha("Lanamentos1", "&Lançamentos", nenhum, 0);
        linha("Opcao10", "&Pesagem", QKeySequence("Ctrl+M"), 0, true, true, true);
        linha("Relatrios1", "&Relatórios", nenhum, 0);
        linha("Opcao20", "Relatórios &Analíticos", nenhum, 1);
        linha("Opcao200", "Analítico por &Dia", nenhum, 0, true, true, true);
        linha("Utilitrios1", "&Utilitários", nenhum, 0);
        linha("ExiberEsconderBarradeAtalho1", "&Exibir/Esconder Barra de Atalho", nenhum, -1, true, true, false, true);
        linha("N5", "-", nenhum, -1);
        linha("Opcao35", "Controle de Acesso", nenhum, 0, false, true, true); // enabled by the administrator's login
        linha("Opcao36", "&Dados da Empresa", nenhum, 0);
        linha("Opcao311", "&Mapear Menu", nenhum, 0, false, false);
        linha("SincronizarDados1", "Sincronizar Dados", nenhum, 0);
        linha("Sobre1", "&Ajuda", nenhum, -1);
        linha("Sobre2", "&Sobre...", QKeySequence("Shift+Ctrl+F1"), -1);
    }
    void menu()
    {
        QFETCH(QString, entrada);
        QFETCH(QString, legenda);
        QFETCH(QKeySequence, atalho);
        QFETCH(int, tag);
        QFETCH(bool, habilitada);
        QFETCH(bool, visivel);
        QFETCH(bool, padrao);
        QFETCH(bool, marcada);

        TPrincipal p;
        QAction* a = nullptr;
        for (QAction* x : p.menuBar()->findChildren<QAction*>(entrada))
            a = x;
        QVERIFY2(a, qPrintable(entrada));
        QCOMPARE(a->isSeparator() ? QStringLiteral("-") : a->text(), legenda);
        QCOMPARE(a->shortcut(), atalho);
        QCOMPARE(a->property("Tag").toInt(), tag);
        QCOMPARE(a->isVisible(), visivel);
        if (!visivel) a->setVisible(true); // Qt reports a hidden action as disabled whatever its own state
        QCOMPARE(a->isEnabled(), habilitada);
        QCOMPARE(a->isChecked(), marcada);
        bool eDefault = false;
        for (QMenu* m : p.menuBar()->findChildren<QMenu*>())
            eDefault = eDefault || m->defaultAction() == a;
        QCOMPARE(eDefault, padrao);
    }

    // The order of the entries is their place in the program catalogue.
    void ordemDoMenu()
    {
        TPrincipal p;
        auto nomes = [](const QList<QAction*>& acoes) {
            QStringList r;
            for (QAction* a : acoes)
                r << a->objectName();
            return r;
        };
        QCOMPARE(nomes(p.menuBar()->actions()),
                 (QStringList{"Menu_Cadastro", "Lanamentos1", "Relatrios1", "Utilitrios1", "Sobre1"}));
        QCOMPARE(nomes(p.Menu_Cadastro->actions()), (QStringList{"Opcao00", "Opcao01", "Opcao06"}));
        QCOMPARE(nomes(p.Lanamentos1->actions()), (QStringList{"Opcao10"}));
        QCOMPARE(nomes(p.Relatrios1->actions()), (QStringList{"Opcao20"}));
        QCOMPARE(nomes(p.Opcao20->actions()), (QStringList{"Opcao200"}));
        QCOMPARE(nomes(p.Utilitrios1->actions()), (QStringList{"ExiberEsconderBarradeAtalho1", "N5", "Opcao35",
                                                               "Opcao36", "Opcao311", "SincronizarDados1"}));
        QCOMPARE(nomes(p.Sobre1->actions()), (QStringList{"Sobre2"}));
        QVERIFY(p.N5->isSeparator());
    }

    void acoesPadrao()
    {
        TPrincipal p;
        QObject* lista = p.findChild<QObject*>(QStringLiteral("AcaoPadrao"));
        QVERIFY(lista);
        QStringList legendas;
        for (QAction* a : lista->findChildren<QAction*>())
            legendas << a->text() + u'=' + a->shortcut().toString();
        QCOMPARE(legendas, (QStringList{"&Recortar=Ctrl+X", "&Copiar=Ctrl+C", "Co&lar=Ctrl+V", "Selecionar &Tudo=",
                                        "&Desfazer=Ctrl+Z", "&Apagar=", "Informações sobre os Dados=Ctrl+Alt+I"}));
        for (QAction* a : lista->findChildren<QAction*>())
            QVERIFY2(p.actions().contains(a), qPrintable(a->text())); // the shortcuts work in the whole window
    }

    void janela()
    {
        TPrincipal p;
        QCOMPARE(p.windowTitle(), QStringLiteral("Sistema Comedal"));
        QVERIFY(p.windowState() & Qt::WindowMaximized);
        QCOMPARE(p.LabelTopo->text(), QStringLiteral("Sistema de Alimentação Popular"));
        QCOMPARE(p.LabelVersao->text(),
                 TPrincipal::linhaFornecedor() + QStringLiteral(" - Versão: ") + QStringLiteral(COMEDAL_VERSION));
        QCOMPARE(p.Label1->text(), TPrincipal::linhaFornecedor());
        QCOMPARE(p.PanelAtalho->height(), 54);
        QCOMPARE(p.PanelIcones->width(), 295);
        QCOMPARE(p.w_URL->height(), 21);
        QCOMPARE(p.w_Arquivos->text(), QStringLiteral("..."));
        QCOMPARE(p.w_UsuarioNome->text(), QStringLiteral("Usuário Padrao"));
        for (const auto& [botao, dica] :
             {std::pair{p.Casa, "Tela Inicial"}, {p.SpeedButton27, "Retorna p/ Tela Anterior"}}) {
            QCOMPARE(botao->toolTip(), QString::fromUtf8(dica));
            QCOMPARE(botao->accessibleName(), QString::fromUtf8(dica));
        }
        QCOMPARE(p.PanelAtalho->palette().color(QPalette::Window), QColor(0x1C, 0x79, 0xB0));
        QCOMPARE(Dados->CorDBGrid, 0xCCEAC8u);
        QCOMPARE(Dados->CorSelecao, 0x4E6B0Au);
        QCOMPARE(Dados->SistemaCentral, QStringLiteral("Comedal"));
        QCOMPARE(sessao().NomeAplicativo, QStringLiteral("COMEDAL"));
        // After creation the boxes read Portuguese.
        QCOMPARE(Dialogos::tituloPadrao(TipoCaixa::Confirmacao), QStringLiteral("Confirme"));
    }

    void carregaParametros()
    {
        db_->exec(QStringLiteral("insert into PARAMETROS (CHAVE, VALOR) values ('TESTEPRINCIPAL', 'S')"));
        parametros().limpa();
        TPrincipal p;
        QCOMPARE(BuscaConfiguracao(QStringLiteral("testeprincipal")), QStringLiteral("S"));
    }

    // Each menu screen has one instance; the client screen goes when closed, the weighing and
    // export screens only minimise, the user and company screens cannot be closed.
    void abreTelas_data()
    {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<QString>("topo");
        QTest::addColumn<int>("fechamento");
        QTest::addColumn<QString>("programa"); // catalogue row written on opening
        QTest::newRow("clientes") << "Opcao00"
                                  << "Clientes" << int(Tela::Fechamento::Destroi) << "Clientes";
        QTest::newRow("usuários") << "Opcao06"
                                  << "Usuários" << int(Tela::Fechamento::SemBotoes) << "Usuários";
        QTest::newRow("pesagem") << "Opcao10"
                                 << "Pesagem" << int(Tela::Fechamento::Minimiza) << "";
        QTest::newRow("empresa") << "Opcao36"
                                 << "Dados da Empresa" << int(Tela::Fechamento::SemBotoes) << "";
        QTest::newRow("sincronizar") << "SincronizarDados1"
                                     << "Sincronizar Dados" << int(Tela::Fechamento::Minimiza) << "";
    }
    void abreTelas()
    {
        QFETCH(QString, entrada);
        QFETCH(QString, topo);
        QFETCH(int, fechamento);
        QFETCH(QString, programa);
        const auto regra = Tela::Fechamento(fechamento);
        registraFalsa(entrada, QStringLiteral("Tela ") + topo, regra);
        sessao().UsuarioEmUso = QStringLiteral("1");

        TPrincipal p;
        QAction* acao = p.menuBar()->findChild<QAction*>(entrada);
        QVERIFY(acao);
        acao->trigger();
        QCOMPARE(criadas_[entrada], 1);
        QCOMPARE(p.LabelTopo->text(), topo);
        QVERIFY(p.PanelPrincipal->isHidden());
        QMdiSubWindow* sub = p.subJanela(entrada);
        QVERIFY(sub);
        QVERIFY(sub->isMaximized());
        QCOMPARE(p.AreaTelas->subWindowList().size(), 1);
        // Maximised, only the screens that minimise put buttons (and the system menu's icon) at the
        // ends of the menu bar; every window carries the program's icon.
        p.PrimeiraVez = false; // no login here
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        const auto visivel = [&p](Qt::Corner canto) {
            QWidget* w = p.menuBar()->cornerWidget(canto);
            return w && w->isVisible();
        };
        const bool botoes = regra == Tela::Fechamento::Minimiza;
        QCOMPARE(visivel(Qt::TopRightCorner), botoes);
        QCOMPARE(visivel(Qt::TopLeftCorner), botoes);
        QCOMPARE(bool(sub->windowFlags() & Qt::WindowSystemMenuHint), botoes);
        QCOMPARE(bool(sub->windowFlags() & Qt::WindowMinMaxButtonsHint), botoes);
        QCOMPARE(sub->windowIcon().cacheKey(), iconePrograma().cacheKey());
        QCOMPARE(p.windowIcon().cacheKey(), iconePrograma().cacheKey());

        acao->trigger();
        QCOMPARE(criadas_[entrada], 1);
        QCOMPARE(p.AreaTelas->subWindowList().size(), 1);
        QCOMPARE(p.subJanela(entrada), sub);

        const int programas = contaLinhas(*db_, QStringLiteral("select count(*) from PROGRAMAS"));
        if (programa.isEmpty()) {
            QCOMPARE(programas, 0);
        } else {
            QCOMPARE(programas, 1);
            QCOMPARE(db_->valor(QStringLiteral("select trim(PROGRAMA) from PROGRAMAS")).toString(), programa);
        }

        sub->close();
        switch (regra) {
        case Tela::Fechamento::Destroi:
            QTRY_VERIFY(!p.subJanela(entrada));
            QTRY_COMPARE(p.AreaTelas->subWindowList().size(), 0);
            acao->trigger();
            QCOMPARE(criadas_[entrada], 2);
            QVERIFY(p.subJanela(entrada));
            break;
        case Tela::Fechamento::Minimiza:
            QVERIFY(p.subJanela(entrada) == sub);
            QVERIFY(sub->isMinimized());
            acao->trigger();
            QCOMPARE(criadas_[entrada], 1);
            QVERIFY(sub->isMaximized());
            break;
        case Tela::Fechamento::SemBotoes:
            QVERIFY(p.subJanela(entrada) == sub);
            QVERIFY(!sub->isMinimized());
            QVERIFY(!(sub->windowFlags() & Qt::WindowCloseButtonHint));
            break;
        }
        QVERIFY(caixas_.caixas().isEmpty());
    }

    // The catalogue rebuilt from the live menu: the entries, their places and their Tags.
    void mapearMenu()
    {
        TPrincipal p;
        caixas_.responde(Botao::Sim);
        p.Opcao311Click();
        QCOMPARE(caixas_.textos(), (QStringList{QStringLiteral("Você gostaria realmente de Refazer o Menu?"),
                                                QStringLiteral("Menu Gerado com Sucesso!")}));
        fb::Attachment att = db_->attach();
        fb::Transaction tr;
        tr.start(att);
        fb::Statement st(att, tr,
                         QStringLiteral("select trim(PROGRAMA), MENUHORIZONTAL, MENUVERTICAL, SUBMENU from PROGRAMAS "
                                        "order by MENUHORIZONTAL, MENUVERTICAL, SUBMENU"));
        st.execute();
        QStringList linhas;
        while (st.fetch())
            linhas << QStringLiteral("%1 %2 %3 %4")
                          .arg(st.value(0).toString())
                          .arg(st.value(1).toInt())
                          .arg(st.value(2).toInt())
                          .arg(st.value(3).toInt());
        st.close();
        tr.commit();
        QCOMPARE(linhas, (QStringList{"Clientes 0 0 -1", "Clientes/Fornecedores 0 1 -1", "Usuários 0 2 -1",
                                      "Pesagem 1 0 -1", "Analítico por Dia 2 0 0", "Controle de Acesso 3 2 -1",
                                      "Dados da Empresa 3 3 -1", "Mapear Menu 3 4 -1", "Sincronizar Dados 3 5 -1"}));
        // Enabled on the way, but what was hidden stays hidden.
        // (Qt reports a hidden action as disabled: its own state shows once it is shown.)
        for (QAction* a : {p.Opcao01, p.Opcao311}) {
            QVERIFY(!a->isVisible());
            a->setVisible(true);
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        }
        QVERIFY(p.Opcao200->isEnabled()); // third level: left as it was
    }

    // The edit commands work on the focused box of any screen, and leave a read-only one alone.
    void edicao()
    {
        TPrincipal p;
        p.PrimeiraVez = false; // no login here
        auto* tela = new QWidget(&p);
        auto* origem = new QLineEdit(QStringLiteral("feijão"), tela);
        auto* destino = new QLineEdit(tela);
        auto* fixa = new QLineEdit(QStringLiteral("fixo"), tela);
        fixa->setReadOnly(true);
        p.setCentralWidget(tela);
        p.show();
        QVERIFY(QTest::qWaitForWindowActive(&p));
        auto acao = [&](const char* nome) {
            QAction* a = p.findChild<QAction*>(QString::fromLatin1(nome));
            QVERIFY2(a, nome);
            a->trigger();
        };
        origem->setFocus();
        QTRY_VERIFY(origem->hasFocus());
        acao("EditSelectAll1");
        acao("EditCut1");
        QCOMPARE(origem->text(), QString());
        acao("EditUndo1");
        QCOMPARE(origem->text(), QStringLiteral("feijão"));
        destino->setFocus();
        QTRY_VERIFY(destino->hasFocus());
        acao("EditPaste1");
        QCOMPARE(destino->text(), QStringLiteral("feijão"));
        acao("EditSelectAll1");
        acao("EditDelete1");
        QCOMPARE(destino->text(), QString());
        fixa->setFocus();
        QTRY_VERIFY(fixa->hasFocus());
        acao("EditSelectAll1");
        acao("EditCut1");
        acao("EditDelete1");
        QCOMPARE(fixa->text(), QStringLiteral("fixo"));
    }

    void entradaSemTelaNaoFazNada()
    {
        TPrincipal p;
        for (QAction* a : {p.Opcao00, p.Opcao06, p.Opcao10, p.Opcao36, p.SincronizarDados1, p.Sobre2})
            a->trigger();
        QCOMPARE(p.AreaTelas->subWindowList().size(), 0);
        QVERIFY(!p.PanelPrincipal->isHidden());
        QCOMPARE(p.LabelTopo->text(), QStringLiteral("Sistema de Alimentação Popular"));
        QVERIFY(caixas_.caixas().isEmpty());
        QVERIFY(caixas_.janelasModais().isEmpty());
    }

    void sobreModalCriadaUmaVez()
    {
        registraFalsa(QStringLiteral("Sobre2"), QStringLiteral("Sobre"), Tela::Fechamento::Minimiza,
                      Tela::Exibicao::Modal);
        TPrincipal p;
        p.Sobre2->trigger();
        p.Sobre2->trigger();
        QCOMPARE(criadas_[QStringLiteral("Sobre2")], 1);
        QCOMPARE(caixas_.janelasModais().size(), 2);
        QCOMPARE(caixas_.janelasModais()[0], caixas_.janelasModais()[1]);
        QVERIFY(!p.PanelPrincipal->isHidden()); // a separate window leaves the frame as it was
    }

    void voltar()
    {
        TPrincipal p;
        p.SpeedButton27->click();
        QCOMPARE(caixas_.caixas().size(), 1);
        QCOMPARE(caixas_.caixas()[0].tipo, TipoCaixa::Aviso);
        QCOMPARE(caixas_.caixas()[0].texto, QStringLiteral("Não existe tela anterior a essa"));
        QCOMPARE(caixas_.caixas()[0].botoes, int(Botao::Ok));

        registraFalsa(QStringLiteral("Opcao10"), QStringLiteral("Pesagem de Refeições"), Tela::Fechamento::Minimiza);
        registraFalsa(QStringLiteral("Opcao36"), QStringLiteral("Empresa"), Tela::Fechamento::SemBotoes);
        p.show();
        p.PrimeiraVez = false; // no login here
        p.Opcao10->trigger();
        p.Opcao36->trigger();
        QCOMPARE(p.AreaTelas->activeSubWindow(), p.subJanela(QStringLiteral("Opcao36")));
        p.CasaClick();
        QVERIFY(!p.PanelPrincipal->isHidden());
        p.SpeedButton27->click();
        QCOMPARE(p.AreaTelas->activeSubWindow(), p.subJanela(QStringLiteral("Opcao10")));
        QCOMPARE(p.LabelTopo->text(), QStringLiteral("Pesagem de Refeições"));
        QVERIFY(p.PanelPrincipal->isHidden());
        p.SpeedButton27->click();
        QCOMPARE(p.AreaTelas->activeSubWindow(), p.subJanela(QStringLiteral("Opcao36")));
        QCOMPARE(p.LabelTopo->text(), QStringLiteral("Empresa"));
        QCOMPARE(caixas_.caixas().size(), 1);
    }

    void casaEBarras()
    {
        TPrincipal p;
        p.Casa->click();
        QVERIFY(p.PanelPrincipal->isHidden());
        p.Casa->click();
        QVERIFY(!p.PanelPrincipal->isHidden());

        p.ExiberEsconderBarradeAtalho1->trigger();
        QVERIFY(p.PanelAtalho->isHidden());
        QVERIFY(p.w_URL->isHidden());
        QVERIFY(!p.ExiberEsconderBarradeAtalho1->isChecked());
        p.ExiberEsconderBarradeAtalho1->trigger();
        QVERIFY(!p.PanelAtalho->isHidden());
        QVERIFY(!p.w_URL->isHidden());
        QVERIFY(p.ExiberEsconderBarradeAtalho1->isChecked());
    }

    void informacoesDoCampo_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("esperado");
        const QString cr(QChar(13));
        const QString inicio = QStringLiteral("INFORMAÇÕES SOBRE O CAMPO") + cr + cr + QStringLiteral("Nome do Campo:");
        QTest::newRow("edit obrigatório: o acento fica minúsculo")
            << "edit"
            << "CPF" << inicio + "CPF" + cr + "Tabela:CLIENTE" + cr + QStringLiteral("CAMPO OBRIGATóRIO");
        QTest::newRow("edit não obrigatório")
            << "edit"
            << "APELIDO" << inicio + "APELIDO" + cr + "Tabela:CLIENTE" + cr + QStringLiteral("CAMPO NãO OBRIGATóRIO");
        QTest::newRow("memo") << "memo"
                              << "OBSERVACAO"
                              << inicio + "OBSERVACAO" + cr + "Tabela:CLIENTE" + cr +
                                     QStringLiteral("CAMPO NãO OBRIGATóRIO");
        QTest::newRow("lista de outra tabela")
            << "lookup"
            << "UF"
            << inicio + "UF" + cr + "Tabela:CLIENTE" + cr + QStringLiteral("CAMPO NãO OBRIGATóRIO") + cr + cr +
                   "O valor do campo acima vem do campo ID" + cr + "que esta na Tabela UF";
        QTest::newRow("grade: a coluna escolhida")
            << "grid"
            << "NOME" << inicio + "NOME" + cr + "Tabela:UF" + cr + QStringLiteral("CAMPO NãO OBRIGATóRIO");
        QTest::newRow("caixa sem dados") << "plain"
                                         << "" << QString();
    }
    void informacoesDoCampo()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, campo);
        QFETCH(QString, esperado);
        Dados->Cliente->open();
        Dados->UF->open();
        QWidget tela;
        QWidget* controle = nullptr;
        if (tipo == u"edit") {
            auto* e = new DBEdit(&tela);
            e->liga(Dados->Cliente, campo);
            controle = e;
        } else if (tipo == u"memo") {
            auto* m = new DBMemo(&tela);
            m->liga(Dados->Cliente, campo);
            controle = m->viewport(); // the focus may sit inside the control
        } else if (tipo == u"lookup") {
            auto* l = new DBLookupComboBox(&tela);
            l->liga(Dados->Cliente, campo);
            l->setLista(Dados->UF, QStringLiteral("ID"), QStringLiteral("NOME"));
            controle = l;
        } else if (tipo == u"grid") {
            auto* g = new DBGrid(&tela);
            g->liga(Dados->UF);
            g->adicionaColuna(QStringLiteral("UF"));
            g->adicionaColuna(campo);
            g->setCurrentIndex(g->model()->index(0, 1));
            controle = g;
        } else {
            controle = new QLineEdit(&tela);
        }
        QCOMPARE(TPrincipal::informacoesDoCampo(controle), esperado);
    }

    // Ctrl+Alt+I in the CPF box of a screen shows the box; with no screen it shows nothing.
    void ctrlAltI()
    {
        telas::registra(QStringLiteral("Opcao00"), Tela{[](QWidget* pai) {
                                                            auto* t = new TelaFalsa(QStringLiteral("Clientes"), pai);
                                                            auto* cpf = new DBEdit(t);
                                                            cpf->setObjectName(QStringLiteral("w_CPF"));
                                                            cpf->liga(Dados->Cliente, QStringLiteral("CPF"));
                                                            t->layout()->addWidget(cpf);
                                                            return t;
                                                        },
                                                        Tela::Exibicao::Filha, Tela::Fechamento::Destroi});
        Dados->Cliente->open();
        sessao().UsuarioEmUso = QStringLiteral("1");
        TPrincipal p;
        p.PrimeiraVez = false; // no login here
        p.show();
        QVERIFY(QTest::qWaitForWindowActive(&p));

        QTest::keyClick(&p, Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(caixas_.caixas().isEmpty());

        p.Opcao00->trigger();
        auto* cpf = p.findChild<DBEdit*>(QStringLiteral("w_CPF"));
        QVERIFY(cpf);
        cpf->setFocus();
        QTRY_VERIFY(cpf->hasFocus());
        QTest::keyClick(cpf, Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(caixas_.caixas().size(), 1);
        const auto& c = caixas_.caixas()[0];
        QCOMPARE(c.tipo, TipoCaixa::Informacao);
        QCOMPARE(c.botoes, int(Botao::Ok));
        QVERIFY(c.texto.contains(QStringLiteral("Nome do Campo:CPF\rTabela:CLIENTE\rCAMPO OBRIGATóRIO")));
    }

    void loginCancelado()
    {
        db_->exec(QStringLiteral("update EMPRESAS set FANTASIA = '  CASA DO PÃO  '"));
        caixas_.respondeModal(int(QDialog::Rejected));
        TPrincipal p;
        QSignalSpy fim(&p, &TPrincipal::encerrando);
        p.show();
        QTRY_COMPARE(fim.size(), 1);
        QCOMPARE(caixas_.janelasModais().size(), 1);
        QCOMPARE(p.windowTitle(), QStringLiteral("Sistema Comedal CASA DO PÃO"));
        QCOMPARE(p.LabelTopo->text(), p.windowTitle());
        QVERIFY(!p.isVisible());
        QVERIFY(p.PrimeiraVez);
        QVERIFY(caixas_.caixas().isEmpty()); // no exit question
        QCOMPARE(contaLinhas(*db_, QStringLiteral("select count(*) from LOGUSUARIO")), 0);
    }

    void loginAceito_data()
    {
        QTest::addColumn<QString>("solicita");
        QTest::addColumn<bool>("trocaSenha");
        QTest::newRow("pede nova senha") << "S" << true;
        QTest::newRow("não pede") << "N" << false;
        QTest::newRow("vazio não é S") << "" << false;
    }
    void loginAceito()
    {
        QFETCH(QString, solicita);
        QFETCH(bool, trocaSenha);
        db_->exec(QStringLiteral("update USUARIOS set SOLICITASENHA = '%1' where ID = 1").arg(solicita));
        registraFalsa(telas::AlteraSenha, QStringLiteral("Altera Senha"), Tela::Fechamento::Minimiza,
                      Tela::Exibicao::Janela);
        auto p = janelaLogada(1);
        QVERIFY(p);
        QCOMPARE(sessao().UsuarioEmUso, QStringLiteral("1"));
        QCOMPARE(p->w_Arquivos->text(), QString());
        QVERIFY(caixas_.caixas().isEmpty());
        QCOMPARE(
            contaLinhas(*db_, QStringLiteral("select count(*) from LOGUSUARIO where USUARIO = 1 and SAIDA is null")),
            1);
        QCOMPARE(db_->valor(QStringLiteral("select ID from LOGUSUARIO")).toInt(), int(sessao().xxLogUsuario));
        QCOMPARE(criadas_.value(telas::AlteraSenha), trocaSenha ? 1 : 0);
        if (trocaSenha) {
            QWidget* w = p->tela(telas::AlteraSenha);
            QVERIFY(w && w->isVisible() && w->isWindow());
        }
        // The login runs once: later paints leave it alone.
        p->update();
        QTest::qWait(50);
        QCOMPARE(caixas_.janelasModais().size(), 1);
    }

    void loginSemUsuario()
    {
        // An accepted login that left no current user: reported, and the run goes on without a row.
        caixas_.respondeModal([](QObject*) {
            Dados->Usuarios->close();
            return int(QDialog::Accepted);
        });
        TPrincipal p;
        p.show();
        QTRY_VERIFY(!p.PrimeiraVez);
        QCOMPARE(caixas_.textos(), QStringList{QStringLiteral("Algum erro na inicialização do sistema")});
        QCOMPARE(caixas_.caixas()[0].tipo, TipoCaixa::Simples);
        QVERIFY(p.isVisible());
        QCOMPARE(contaLinhas(*db_, QStringLiteral("select count(*) from LOGUSUARIO")), 0);
    }

    void sair_data()
    {
        QTest::addColumn<bool>("comLinhaDeLogin");
        QTest::newRow("com a linha do login") << true;
        QTest::newRow("sem linha: nada é criado") << false;
    }
    void sair()
    {
        QFETCH(bool, comLinhaDeLogin);
        auto p = janelaLogada(1);
        QVERIFY(p);
        if (!comLinhaDeLogin) {
            db_->exec(QStringLiteral("delete from LOGUSUARIO"));
            sessao().xxLogUsuario = 77;
        }
        QSignalSpy fim(p.get(), &TPrincipal::encerrando);

        caixas_.responde(Botao::Nao);
        p->close();
        QVERIFY(p->isVisible());
        QCOMPARE(caixas_.caixas().size(), 1);
        const auto& pergunta = caixas_.caixas()[0];
        QCOMPARE(pergunta.tipo, TipoCaixa::Confirmacao);
        QCOMPARE(pergunta.texto, QStringLiteral("Você gostaria realmente de Sair do Sistema?"));
        QCOMPARE(pergunta.botoes, Botao::Sim | Botao::Nao);
        QTest::qWait(1200);
        QVERIFY(p->isVisible());
        QCOMPARE(fim.size(), 0);
        QVERIFY(Dados->fatura.isValid());

        caixas_.responde(Botao::Sim);
        p->close();
        QCOMPARE(caixas_.caixas().size(), 2);
        QCOMPARE(fim.size(), 1);
        QVERIFY(p->isVisible()); // one more second
        QVERIFY(!p->isEnabled());
        QVERIFY(!Dados->fatura.isValid());
        QTRY_VERIFY_WITH_TIMEOUT(!p->isVisible(), 3000);
        QCOMPARE(caixas_.caixas().size(), 2); // no error box

        if (comLinhaDeLogin) {
            QCOMPARE(contaLinhas(*db_, QStringLiteral("select count(*) from LOGUSUARIO where SAIDA is not null")), 1);
            const QDateTime saida = db_->valor(QStringLiteral("select SAIDA from LOGUSUARIO")).toDateTime();
            QVERIFY(qAbs(saida.secsTo(QDateTime::currentDateTime())) < 60);
        } else {
            QCOMPARE(contaLinhas(*db_, QStringLiteral("select count(*) from LOGUSUARIO")), 0);
        }
    }

    // A screen holding a record being typed is named before the usual question; No keeps the
    // program and what was typed, Yes goes on to the usual question. Screens only browsing are not named.
    void sairComRegistroEmEdicao()
    {
        auto p = janelaLogada(1);
        QVERIFY(p);
        telas::registra(QStringLiteral("Opcao10"), Tela{[](QWidget* pai) {
                                                            auto* t = new TelaFalsa(QStringLiteral("Pessagem"), pai);
                                                            auto* peso = new DBEdit(t);
                                                            peso->liga(Dados->Refeicao, QStringLiteral("PESO"));
                                                            return t;
                                                        },
                                                        Tela::Exibicao::Filha, Tela::Fechamento::Minimiza});
        telas::registra(QStringLiteral("Opcao00"), Tela{[](QWidget* pai) {
                                                            auto* t = new TelaFalsa(QStringLiteral("Clientes"), pai);
                                                            auto* lista =
                                                                new Dataset(QStringLiteral("Lista"), &Dados->fatura,
                                                                            &Dados->TransFatura, t);
                                                            lista->setSQL({QStringLiteral("select * from CLIENTE")});
                                                            lista->open();
                                                            return t;
                                                        },
                                                        Tela::Exibicao::Filha, Tela::Fechamento::Minimiza});
        QVERIFY(p->AbrirForm(QStringLiteral("Opcao00")));
        QVERIFY(p->AbrirForm(QStringLiteral("Opcao10")));
        Dataset& refeicao = *Dados->Refeicao;
        refeicao.open();
        refeicao.append();
        refeicao.field(QStringLiteral("PESO")).setValue(0.515);
        QSignalSpy fim(p.get(), &TPrincipal::encerrando);

        caixas_.responde(Botao::Nao);
        p->close();
        QCOMPARE(caixas_.textos(), QStringList{"Existem registros em edição: Pesagem. Sair sem gravar?"});
        QCOMPARE(caixas_.caixas()[0].botoes, Botao::Sim | Botao::Nao);
        QCOMPARE(fim.size(), 0);
        QCOMPARE(refeicao.state(), EstadoDataset::Insert);
        QCOMPARE(refeicao.field(QStringLiteral("PESO")).asFloat(), 0.515);

        caixas_.responde(Botao::Sim);
        caixas_.responde(Botao::Nao);
        p->close();
        QCOMPARE(caixas_.textos(), (QStringList{"Existem registros em edição: Pesagem. Sair sem gravar?",
                                                "Existem registros em edição: Pesagem. Sair sem gravar?",
                                                "Você gostaria realmente de Sair do Sistema?"}));
        QCOMPARE(fim.size(), 0);
        QVERIFY(Dados->fatura.isValid());

        // Given up, only the usual question.
        refeicao.cancel();
        caixas_.limpa();
        caixas_.responde(Botao::Nao);
        p->close();
        QCOMPARE(caixas_.textos(), QStringList{"Você gostaria realmente de Sair do Sistema?"});
    }

    // Another workstation logs in at the same moment and its row takes the key the generator was
    // at: the exit writes the logout time into this session's own row, not into the other one.
    void saidaNaLinhaDestaSessao()
    {
        bool outraEntrou = false;
        Dados->LogEntrada->beforePost = [this, &outraEntrou](Dataset& log) {
            if (log.state() != EstadoDataset::Insert || std::exchange(outraEntrou, true)) return;
            db_->exec(QStringLiteral("insert into LOGUSUARIO (USUARIO, SISTEMA, ENTRADA, VERSAO) values (1, "
                                     "'Comedal', '2026-03-14 08:00', 'outra estacao');"));
        };
        auto p = janelaLogada(1);
        QVERIFY(p);
        QVERIFY(outraEntrou);
        const int outra =
            db_->valor(QStringLiteral("select ID from LOGUSUARIO where VERSAO = 'outra estacao'")).toInt();
        const int minha = db_->valor(QStringLiteral("select ID from LOGUSUARIO where VERSAO is distinct from "
                                                    "'outra estacao'"))
                              .toInt();
        QVERIFY(minha > outra);
        QCOMPARE(int(sessao().xxLogUsuario), minha);

        QSignalSpy fim(p.get(), &TPrincipal::encerrando);
        caixas_.responde(Botao::Sim);
        p->close();
        QCOMPARE(fim.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!p->isVisible(), 3000);
        QCOMPARE(caixas_.caixas().size(), 1); // the exit question alone
        QVERIFY(!db_->valor(QStringLiteral("select SAIDA from LOGUSUARIO where ID = %1").arg(minha)).isNull());
        QVERIFY(db_->valor(QStringLiteral("select SAIDA from LOGUSUARIO where ID = %1").arg(outra)).isNull());
    }

    // The system ends the program (shutdown, logout, the terminal gone): no question, the session's
    // exit is written and the window goes; the database client's own handler, which pulled the
    // connection from under the program and crashed it, never runs.
    void terminoPeloSistema_data()
    {
        QTest::addColumn<int>("sinal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void terminoPeloSistema()
    {
        QFETCH(int, sinal);
        auto p = janelaLogada(1);
        QVERIFY(p);
        AvisoDeSinal aviso;
        connect(&aviso, &AvisoDeSinal::recebido, p.get(), &TPrincipal::terminaPorSinal);
        QSignalSpy fim(p.get(), &TPrincipal::encerrando);
        std::raise(sinal);
        QTRY_COMPARE(fim.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!p->isVisible(), 3000);
        QCOMPARE(caixas_.caixas().size(), 0);
        QVERIFY(!db_->valor(QStringLiteral("select SAIDA from LOGUSUARIO where ID = %1").arg(sessao().xxLogUsuario))
                     .isNull());
    }

    void inicioSemBanco()
    {
        dados_.reset();
        fb::ConnectionSettings banco = db_->settings();
        banco.database = banco.database.section(u':', 0, 0) + QStringLiteral(":/nao/existe/comedal.fdb");
        QString mensagem;
        try {
            fb::Attachment::attach(banco);
        } catch (const fb::Error& e) {
            mensagem = e.message();
        }
        QVERIFY(!mensagem.isEmpty());

        QVERIFY(Comedal(banco) != 0);
        QCOMPARE(caixas_.caixas().size(), 1);
        QCOMPARE(caixas_.caixas()[0].tipo, TipoCaixa::Erro);
        QCOMPARE(caixas_.caixas()[0].titulo, QStringLiteral("Comedal"));
        QCOMPARE(caixas_.caixas()[0].texto, mensagemDoErro(mensagem));
        QVERIFY(!Dados);
        QVERIFY(!Principal);
    }

    // The whole start on a reachable database, ended by a cancelled login.
    void inicioComLoginCancelado()
    {
        dados_.reset();
        QString titulo;
        caixas_.respondeModal([&titulo](QObject*) {
            titulo = Principal ? Principal->windowTitle() : QString();
            return int(QDialog::Rejected);
        });
        QTimer trava;
        trava.setSingleShot(true);
        connect(&trava, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        trava.start(20000);
        QCOMPARE(Comedal(db_->settings()), 0);
        QCOMPARE(titulo, QStringLiteral("Sistema Comedal RESTAURANTE POPULAR"));
        QVERIFY(caixas_.caixas().isEmpty());
        QCOMPARE(contaLinhas(*db_, QStringLiteral("select count(*) from LOGUSUARIO")), 0);
        QVERIFY(!Dados);
    }
};

QTEST_MAIN(PrincipalTeste)
#include "gui_principal.moc"
