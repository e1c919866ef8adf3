// "Controle de Acesso" against a real database: the administrator grants rights that an operator
// already logged in gets at the next activation of a screen, copies another user's rights, ticks
// whole columns, unblocks a user; nobody else opens the screen; and, with DireitosEmTodasAsTelas,
// the counter screen applies the rights too. Stored rows are read through a connection of their own.
#include "app/menuacessos.h"
#include "app/telas.h"
#include "app/xPrincipal.h"
#include "clients/Pacientes.h"
#include "clients/xConsultaListaPac.h"
#include "common/acessos.h"
#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/sessao.h"
#include "data/arquivos.h"
#include "testdb.h"
#include "users/xControleAcesso.h"
#include "users/xUsuarios.h"
#include "weighing/xCupon.h"
#include "weighing/xPessagem.h"
#include "weighing/xSincronizar.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTableWidget>
#include <QtTest>

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const QStringList nove{"Clientes",         "Clientes/Fornecedores", "Usuários",
                       "Pesagem",          "Analítico por Dia",     "Controle de Acesso",
                       "Dados da Empresa", "Mapear Menu",           "Sincronizar Dados"};

struct Base
{
    TestDatabase db;
    TDados dados{db.settings()};
    DialogosRoteirizados caixas;
    Dialogos* anterior = defineDialogos(&caixas);

    Base()
    {
        sessao().UsuarioEmUso = QStringLiteral("1");
        // Users 2 ANA, 3 BRUNO, 4 CARLA (blocked after ten wrong passwords).
        db.exec(QStringLiteral(
            "insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA) "
            "values ('ANA', 'Ana123', 'SALVADOR', 'CENTRO', '12345678909', '1980-03-12', 'S', 'N');\n"
            "insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA) "
            "values ('BRUNO D''ÁVILA', 'Bruno1', 'SALVADOR', 'BARRA', '52998224725', '1990-07-01', 'S', 'N');\n"
            "insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA) "
            "values ('CARLA', 'Carla1', 'SALVADOR', 'PITUBA', '11144477735', '1985-12-31', 'B', 'N');\n"));
        dados.Usuarios->open();
        dados.Acessos->open(); // as the main window does before the login
    }
    ~Base()
    {
        defineDialogos(anterior);
        sessao().UsuarioEmUso.clear();
        parametros().limpa();
    }

    // The catalogue of the real main menu, as "&Mapear Menu" builds it.
    void mapeia()
    {
        TPrincipal p;
        GeraControleAcesso(descreveMenu(p.menuBar()));
    }

    void direito(int usuario, const QString& programa, const QString& flags)
    {
        fb::Attachment att = db.attach();
        fb::Transaction t(att);
        fb::Statement s(att, t,
                        QStringLiteral("insert into ACESSOS (USUARIO, PROGRAMA, INCLUIR, ALTERAR, EXCLUIR) "
                                       "values (:U, :P, :I, :A, :E)"));
        s.setParameter(QStringLiteral("U"), usuario);
        s.setParameter(QStringLiteral("P"), programa);
        s.setParameter(QStringLiteral("I"), flags.mid(0, 1));
        s.setParameter(QStringLiteral("A"), flags.mid(1, 1));
        s.setParameter(QStringLiteral("E"), flags.mid(2, 1));
        s.execute();
        t.commit();
    }

    // The user's ACESSOS rows as another workstation reads them: program -> "SNS", and how many
    // rows each program has.
    QHash<QString, QString> gravados(int usuario, QHash<QString, int>* linhas = nullptr) const
    {
        fb::Attachment att = db.attach();
        fb::Transaction t(att);
        fb::Statement s(att, t,
                        QStringLiteral("select PROGRAMA, INCLUIR, ALTERAR, EXCLUIR from ACESSOS where USUARIO = :U"));
        s.setParameter(QStringLiteral("U"), usuario);
        s.execute();
        QHash<QString, QString> r;
        while (s.fetch()) {
            r.insert(s.value(0).toString(), s.value(1).toString() + s.value(2).toString() + s.value(3).toString());
            if (linhas) ++(*linhas)[s.value(0).toString()];
        }
        return r;
    }

    // Every program shown has exactly one stored row with the flags shown.
    void confereGravados(const TControleAcesso& tela) const
    {
        QHash<QString, int> linhas;
        const QHash<QString, QString> g = gravados(tela.usuarioAtual(), &linhas);
        for (const QString& p : tela.programas()) {
            QCOMPARE(g.value(p), tela.direitosMostrados(p));
            QCOMPARE(linhas.value(p), 1);
        }
    }
};

template <class T = QWidget> T* filho(QWidget* w, const char* nome)
{
    T* c = w->findChild<T*>(QString::fromLatin1(nome));
    if (!c) qFatal("widget %s not found", nome);
    return c;
}

QAbstractButton* botao(QWidget* w, const char* nome)
{
    return filho<QAbstractButton>(w, nome);
}

QString botoesLigados(QWidget* tela)
{
    QString s;
    for (const char* n : {"Incluir", "Alterar", "Excluir"})
        s += botao(tela, n)->isEnabled() ? QLatin1Char(n[0]) : QLatin1Char('-');
    return s;
}

// Ticks or clears one right of a program as a click in its cell does.
void marca(TControleAcesso& tela, const QString& programa, int coluna, bool marcado)
{
    auto* g = filho<QTableWidget>(&tela, "GridDireitos");
    for (int r = 0; r < g->rowCount(); ++r)
        if (g->item(r, 0)->text() == programa) {
            QVERIFY(g->item(r, coluna)->flags() & Qt::ItemIsUserCheckable);
            g->item(r, coluna)->setCheckState(marcado ? Qt::Checked : Qt::Unchecked);
            return;
        }
    QFAIL(qPrintable(programa));
}

void clicaTitulo(TControleAcesso& tela, int coluna)
{
    QHeaderView* h = filho<QTableWidget>(&tela, "GridDireitos")->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(coluna) + 10, h->height() / 2));
}

QString coluna(const TControleAcesso& tela, int c)
{
    QString s;
    for (const QString& p : tela.programas())
        s += tela.direitosMostrados(p)[c - 1];
    return s;
}

QString estado(QWidget* tela)
{
    return filho<QLabel>(tela, "Estado")->text();
}

} // namespace

class ControleAcesso : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Comedal")); }

    // The operator is logged in before the grant; the user registry comes forward again and has
    // exactly what was granted.
    void concessaoValeSemNovoLogin()
    {
        Base b;
        b.mapeia();
        QMdiArea area;
        area.resize(1366, 700);
        sessao().UsuarioEmUso = QStringLiteral("2");
        SelecionaAcessos(2); // the operator's login
        auto* usuarios = new TCad_Usuario;
        QMdiSubWindow* subUsuarios = area.addSubWindow(usuarios);
        area.show();
        subUsuarios->showMaximized();
        area.setActiveSubWindow(subUsuarios);
        QCOMPARE(botoesLigados(usuarios), QStringLiteral("---"));

        // Meanwhile the administrator grants S/N/S on the user registry.
        sessao().UsuarioEmUso = QStringLiteral("1");
        auto* controle = new TControleAcesso;
        QMdiSubWindow* subControle = area.addSubWindow(controle);
        subControle->showMaximized();
        area.setActiveSubWindow(subControle);
        QCOMPARE(controle->programas(), nove);
        QVERIFY(controle->selecionaUsuario(2));
        QCOMPARE(estado(controle), QStringLiteral("Navegando..."));
        QVERIFY(!botao(controle, "Confirmar")->isEnabled());
        marca(*controle, QStringLiteral("Usuários"), TControleAcesso::ColIncluir, true);
        marca(*controle, QStringLiteral("Usuários"), TControleAcesso::ColExcluir, true);
        QCOMPARE(estado(controle), QStringLiteral("Editando..."));
        QVERIFY(!filho(controle, "GridUsuarios")->isEnabled()); // no other user while a change is open
        botao(controle, "Confirmar")->click();
        QCOMPARE(estado(controle), QStringLiteral("Navegando..."));
        QCOMPARE(b.gravados(2).value(QStringLiteral("Usuários")), QStringLiteral("SNS"));
        b.confereGravados(*controle);
        QVERIFY(b.caixas.caixas().isEmpty());

        sessao().UsuarioEmUso = QStringLiteral("2");
        area.setActiveSubWindow(subUsuarios);
        QTRY_COMPARE(botoesLigados(usuarios), QStringLiteral("I-E"));
    }

    void copiaDeOutroUsuario_data()
    {
        QTest::addColumn<std::optional<QString>>("resposta");
        QTest::addColumn<QString>("clientes"); // what user 2 has on "Clientes" after Confirmar
        QTest::addColumn<QString>("pesagem");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("de Bruno") << std::optional<QString>("3") << "SSN"
                                  << "NSN" << QString();
        QTest::newRow("do administrador") << std::optional<QString>(" 1 ") << "SSS"
                                          << "SSS" << QString();
        QTest::newRow("código inexistente") << std::optional<QString>("99") << "NNS"
                                            << "NNN"
                                            << "Usuário não Encontrado!";
        QTest::newRow("aspas") << std::optional<QString>("3'") << "NNS"
                               << "NNN"
                               << "Usuário não Encontrado!";
        QTest::newRow("desistiu") << std::optional<QString>() << "NNS"
                                  << "NNN" << QString();
    }
    void copiaDeOutroUsuario()
    {
        QFETCH(std::optional<QString>, resposta);
        QFETCH(QString, clientes);
        QFETCH(QString, pesagem);
        QFETCH(QString, mensagem);
        Base b;
        b.mapeia();
        b.direito(3, QStringLiteral("Clientes"), QStringLiteral("SSN"));
        b.direito(3, QStringLiteral("Pesagem"), QStringLiteral("NSN"));
        b.direito(2, QStringLiteral("Clientes"), QStringLiteral("NNS"));
        TControleAcesso tela;
        QVERIFY(tela.selecionaUsuario(2));
        b.caixas.respondeEntrada(resposta);
        botao(&tela, "CopiarDe")->click();
        QCOMPARE(b.caixas.entradas().size(), 1);
        QCOMPARE(b.caixas.textos(), mensagem.isEmpty() ? QStringList() : QStringList{mensagem});
        QCOMPARE(tela.direitosMostrados(QStringLiteral("Clientes")), clientes);
        QCOMPARE(tela.direitosMostrados(QStringLiteral("Pesagem")), pesagem);
        if (tela.editando()) botao(&tela, "Confirmar")->click();
        QCOMPARE(tela.direitosMostrados(QStringLiteral("Clientes")), clientes);
        QCOMPARE(b.gravados(2).value(QStringLiteral("Clientes")), clientes);
        QCOMPARE(b.gravados(3).value(QStringLiteral("Pesagem")), QStringLiteral("NSN")); // the source unchanged
        if (tela.editando() || resposta == std::optional<QString>("3") || resposta == std::optional<QString>(" 1 "))
            b.confereGravados(tela);
    }

    // A click on a column's heading ticks it whole, a second one clears it; cancelling shows what
    // is stored again.
    void tituloMarcaAColuna()
    {
        Base b;
        b.mapeia();
        b.direito(2, QStringLiteral("Pesagem"), QStringLiteral("SNN"));
        TControleAcesso tela;
        tela.resize(1366, 650);
        tela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tela));
        QVERIFY(tela.selecionaUsuario(2));
        QCOMPARE(coluna(tela, TControleAcesso::ColIncluir), QStringLiteral("NNNSNNNNN"));

        clicaTitulo(tela, TControleAcesso::ColIncluir); // partly ticked: ticks all
        QCOMPARE(coluna(tela, TControleAcesso::ColIncluir), QStringLiteral("SSSSSSSSS"));
        QCOMPARE(coluna(tela, TControleAcesso::ColAlterar), QStringLiteral("NNNNNNNNN"));
        QCOMPARE(estado(&tela), QStringLiteral("Editando..."));
        clicaTitulo(tela, TControleAcesso::ColIncluir);
        QCOMPARE(coluna(tela, TControleAcesso::ColIncluir), QStringLiteral("NNNNNNNNN"));
        clicaTitulo(tela, TControleAcesso::ColExcluir);
        QCOMPARE(coluna(tela, TControleAcesso::ColExcluir), QStringLiteral("SSSSSSSSS"));
        clicaTitulo(tela, TControleAcesso::ColPrograma); // not a right: nothing
        QCOMPARE(coluna(tela, TControleAcesso::ColExcluir), QStringLiteral("SSSSSSSSS"));

        b.caixas.responde(Botao::Nao);
        botao(&tela, "NaoConfirmar")->click();
        QCOMPARE(b.caixas.textos(), QStringList{QStringLiteral("Deseja Cancelar Atualização?")});
        QCOMPARE(estado(&tela), QStringLiteral("Editando..."));
        b.caixas.responde(Botao::Sim);
        botao(&tela, "NaoConfirmar")->click();
        QCOMPARE(estado(&tela), QStringLiteral("Navegando..."));
        QCOMPARE(coluna(tela, TControleAcesso::ColIncluir), QStringLiteral("NNNSNNNNN"));
        QCOMPARE(coluna(tela, TControleAcesso::ColExcluir), QStringLiteral("NNNNNNNNN"));
        QCOMPARE(b.gravados(2).size(), 1); // nothing written

        clicaTitulo(tela, TControleAcesso::ColAlterar);
        botao(&tela, "Confirmar")->click();
        b.confereGravados(tela);
        QCOMPARE(b.gravados(2).value(QStringLiteral("Pesagem")), QStringLiteral("SSN"));
    }

    // Another station holding the user's row (saving the same user's rights at that moment): the
    // save is refused whole with a message, the ticks stay, and the next try goes through.
    void outraEstacaoGravando()
    {
        Base b;
        b.mapeia();
        TControleAcesso tela;
        QVERIFY(tela.selecionaUsuario(2));
        marca(tela, QStringLiteral("Clientes"), TControleAcesso::ColAlterar, true);
        {
            fb::Attachment outra = b.db.attach();
            fb::Transaction t(outra);
            fb::Statement trava(outra, t, QStringLiteral("select ID from USUARIOS where ID = 2 with lock"));
            trava.execute();
            QVERIFY(trava.fetch());
            botao(&tela, "Confirmar")->click();
            QCOMPARE(b.caixas.textos(),
                     QStringList{QStringLiteral(
                         "Os direitos deste usuário estão sendo gravados em outra estação. Tente novamente.")});
            QVERIFY(tela.editando());
            QCOMPARE(tela.direitosMostrados(QStringLiteral("Clientes")), QStringLiteral("NSN"));
        }
        QVERIFY(b.gravados(2).isEmpty());
        botao(&tela, "Confirmar")->click();
        QVERIFY(!tela.editando());
        b.confereGravados(tela);
    }

    // The administrator has everything and its row cannot be changed.
    void administradorTemTudo()
    {
        Base b;
        b.mapeia();
        TControleAcesso tela;
        QVERIFY(tela.selecionaUsuario(1));
        for (const QString& p : tela.programas())
            QCOMPARE(tela.direitosMostrados(p), QStringLiteral("SSS"));
        QVERIFY(!filho(&tela, "GridDireitos")->isEnabled());
        QVERIFY(!botao(&tela, "CopiarDe")->isEnabled());
        QVERIFY(!filho(&tela, "Aviso")->isHidden());
        tela.marcaColuna(TControleAcesso::ColIncluir, false);
        QVERIFY(!tela.editando());
        QVERIFY(b.gravados(1).isEmpty());
    }

    void desbloqueia()
    {
        Base b;
        TControleAcesso tela;
        auto* usuarios = filho<QTableWidget>(&tela, "GridUsuarios");
        QCOMPARE(usuarios->item(3, 2)->text(), QStringLiteral("Bloqueado"));
        QCOMPARE(usuarios->item(3, 1)->foreground().color(), QColor(0xC0, 0x00, 0x00));
        QVERIFY(tela.selecionaUsuario(2));
        QVERIFY(!botao(&tela, "Desbloquear")->isEnabled());
        QVERIFY(tela.selecionaUsuario(4));
        QVERIFY(botao(&tela, "Desbloquear")->isEnabled());

        b.caixas.responde(Botao::Nao);
        botao(&tela, "Desbloquear")->click();
        QCOMPARE(b.caixas.caixas().first().tipo, TipoCaixa::Confirmacao);
        QCOMPARE(b.caixas.textos(), QStringList{QStringLiteral("Desbloquear o usuário 4 - CARLA?")});
        QCOMPARE(b.db.valor(QStringLiteral("select ATIVO from USUARIOS where ID = 4")).toString(), QStringLiteral("B"));

        b.caixas.responde(Botao::Sim);
        botao(&tela, "Desbloquear")->click();
        QCOMPARE(b.db.valor(QStringLiteral("select ATIVO from USUARIOS where ID = 4")).toString(), QStringLiteral("S"));
        QCOMPARE(b.db.valor(QStringLiteral("select USER2 from USUARIOS where ID = 4")).toInt(), 1);
        QCOMPARE(usuarios->item(3, 2)->text(), QStringLiteral("Ativo"));
        QCOMPARE(tela.usuarioAtual(), 4);
        QVERIFY(!botao(&tela, "Desbloquear")->isEnabled());
    }

    // The menu entry is shown to everybody and works for the administrator only; the catalogue,
    // empty until now, is built from the menu first.
    void soOAdministradorAbre_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<bool>("abre");
        QTest::newRow("operador") << "2" << false;
        QTest::newRow("administrador") << "1" << true;
    }
    void soOAdministradorAbre()
    {
        QFETCH(QString, usuario);
        QFETCH(bool, abre);
        Base b;
        telas::limpa();
        registraTelasDoSistema();
        TPrincipal p;
        sessao().UsuarioEmUso = usuario;
        emit p.Utilitrios1->aboutToShow();
        QVERIFY(p.Opcao35->isVisible());
        QCOMPARE(p.Opcao35->isEnabled(), abre);
        p.Opcao35->setEnabled(true); // as "&Mapear Menu" leaves it
        p.Opcao35->trigger();
        auto* tela = qobject_cast<TControleAcesso*>(p.tela(QStringLiteral("Opcao35")));
        QCOMPARE(tela != nullptr, abre);
        if (tela) QCOMPARE(tela->programas(), nove);
        telas::limpa();
    }

    // With DireitosEmTodasAsTelas the counter screen follows the rights on "Pesagem"; without it
    // every operator deletes meals, as always.
    void pesagemComDireitos_data()
    {
        QTest::addColumn<QString>("parametro");
        QTest::addColumn<QString>("direitos"); // user 2's row on "Pesagem"; empty: none
        QTest::addColumn<QString>("ligados");
        QTest::addColumn<bool>("exclui");
        QTest::newRow("sem o parâmetro") << ""
                                         << ""
                                         << "IAE" << true;
        QTest::newRow("parâmetro N") << "N"
                                     << ""
                                     << "IAE" << true;
        QTest::newRow("sem direito") << "S"
                                     << ""
                                     << "---" << false;
        QTest::newRow("só incluir") << "S"
                                    << "SNN"
                                    << "I--" << false;
        QTest::newRow("pode excluir") << " s "
                                      << "NNS"
                                      << "--E" << true;
    }
    void pesagemComDireitos()
    {
        QFETCH(QString, parametro);
        QFETCH(QString, direitos);
        QFETCH(QString, ligados);
        QFETCH(bool, exclui);
        Base b;
        b.db.exec(QStringLiteral("insert into REFEICAO (CPF, DATA, HORA, PESO) values ('12345678909', '2026-03-13', "
                                 "'12:00:00', 0.5);\n"
                                 "insert into PARAMETROS (CHAVE, VALOR) values ('DireitosEmTodasAsTelas', '%1');\n")
                      .arg(parametro));
        carregaParametros(b.dados.fatura, b.dados.TransFatura);
        if (!direitos.isEmpty()) b.direito(2, QStringLiteral("Pesagem"), direitos);
        sessao().UsuarioEmUso = QStringLiteral("2");
        SelecionaAcessos(2);
        TPessagem tela;
        QCOMPARE(botoesLigados(&tela), ligados);
        b.caixas.responde(Botao::Sim);
        botao(&tela, "Excluir")->click();
        QCOMPARE(b.db.valor(QStringLiteral("select count(*) from REFEICAO")).toInt(), exclui ? 0 : 1);
    }

    // The client screen too, on "Clientes", only under the parameter.
    void clientesComDireitos_data()
    {
        QTest::addColumn<QString>("parametro");
        QTest::addColumn<QString>("ligados");
        QTest::newRow("sem o parâmetro") << ""
                                         << "IAE";
        QTest::newRow("com o parâmetro") << "S"
                                         << "-A-";
    }
    void clientesComDireitos()
    {
        QFETCH(QString, parametro);
        QFETCH(QString, ligados);
        Base b;
        b.db.exec(QStringLiteral("insert into CLIENTE (NOME, MAE, SEXO, CPF) values ('MARIA', 'JOANA', 'F', "
                                 "'12345678909');\n"
                                 "insert into PARAMETROS (CHAVE, VALOR) values ('DireitosEmTodasAsTelas', '%1');\n")
                      .arg(parametro));
        carregaParametros(b.dados.fatura, b.dados.TransFatura);
        b.direito(2, QStringLiteral("Clientes"), QStringLiteral("NSN"));
        sessao().UsuarioEmUso = QStringLiteral("2");
        SelecionaAcessos(2);
        TCad_Cliente tela;
        QCOMPARE(botoesLigados(&tela), ligados);
    }

    // The export's button needs Incluir on "Sincronizar Dados" under the parameter, and the meal
    // screen gets a right granted while it is open when it comes forward again.
    void direitoLidoAoAtivar()
    {
        Base b;
        b.db.exec(QStringLiteral("insert into PARAMETROS (CHAVE, VALOR) values ('DireitosEmTodasAsTelas', 'S');\n"));
        carregaParametros(b.dados.fatura, b.dados.TransFatura);
        sessao().UsuarioEmUso = QStringLiteral("2");
        SelecionaAcessos(2);
        TestDatabase central(TestDatabase::Central);
        QMdiArea area;
        area.resize(1200, 700);
        auto* pesagem = new TPessagem;
        auto* sincronizar = new TSincronizar(central.settings());
        QMdiSubWindow* subPesagem = area.addSubWindow(pesagem);
        QMdiSubWindow* subSincronizar = area.addSubWindow(sincronizar);
        area.show();
        subPesagem->show();
        subSincronizar->show();
        area.setActiveSubWindow(subPesagem);
        QCOMPARE(botoesLigados(pesagem), QStringLiteral("---"));
        QVERIFY(!botao(sincronizar, "SpeedButton1")->isEnabled());

        b.direito(2, QStringLiteral("Pesagem"), QStringLiteral("SSN"));
        b.direito(2, QStringLiteral("Sincronizar Dados"), QStringLiteral("SNN"));
        area.setActiveSubWindow(subSincronizar);
        QTRY_VERIFY(botao(sincronizar, "SpeedButton1")->isEnabled());
        QCOMPARE(botoesLigados(pesagem), QStringLiteral("---")); // read when it comes forward
        area.setActiveSubWindow(subPesagem);
        QTRY_COMPARE(botoesLigados(pesagem), QStringLiteral("IA-"));
    }
};

QTEST_MAIN(ControleAcesso)
#include "gui_controleacesso.moc"
