// The login window driven as the operator drives it (keys and clicks, offscreen) against a real
// database: identification by code, the access checks and their wordings, the three ways to a
// login, wrong passwords and the blocking, and the session-log rows.
#include "app/sessaolog.h"
#include "app/xSenha.h"
#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/sessao.h"
#include "common/ui/dblookupcombobox.h"
#include "data/arquivos.h"
#include "testdb.h"
#include "users/xRecuperaSenha.h"

#include <QAbstractItemView>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

using Linha = QVariantList;

namespace {
const QDate hoje(2026, 3, 10);
const QTime agoraHora(10, 0);
} // namespace

class Login : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDados> dados;
    std::unique_ptr<TSenha> senha;
    DialogosRoteirizados caixas;
    int encerrou = 0;
    QDateTime relogio;

    struct Usuario
    {
        int id;
        QString nome;
        QVariant matricula = QVariant();
        QVariant senha = QString("Segredo1");
        QString ativo = "S";
        QVariant expira = hoje.addDays(30);
        QVariant inicio = QTime(8, 0);
        QVariant fim = QTime(18, 0);
    };

    void cria(const Usuario& u)
    {
        fb::Attachment att = db->attach();
        fb::Transaction tra(att);
        {
            fb::Statement s(att, tra,
                            "INSERT INTO USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, MATRICULA, "
                            "EXPIRA, HORAINICIO, HORAFIM) VALUES (:NOME, :SENHA, 'X', 'X', '00000000000', "
                            "'1990-01-01', :ATIVO, :MATRICULA, :EXPIRA, :INICIO, :FIM)");
            s.setParameter("NOME", u.nome);
            s.setParameter("SENHA", u.senha);
            s.setParameter("ATIVO", u.ativo);
            s.setParameter("MATRICULA", u.matricula);
            s.setParameter("EXPIRA", u.expira);
            s.setParameter("INICIO", u.inicio);
            s.setParameter("FIM", u.fim);
            s.execute();
            // The key comes from the generator; the tests want their own.
            fb::Statement k(att, tra, "UPDATE USUARIOS SET ID = :ID WHERE NOME = :NOME");
            k.setParameter("ID", u.id);
            k.setParameter("NOME", u.nome);
            k.execute();
        }
        tra.commit();
    }

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

    void abre()
    {
        senha = std::make_unique<TSenha>();
        senha->encerraPrograma = [this] { ++encerrou; };
        senha->show();
        senha->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(senha.get()));
        QCOMPARE(QApplication::focusWidget(), campo<QWidget>("w_Codigo"));
    }

    template <class T> T* campo(const char* nome)
    {
        T* w = senha->findChild<T*>(QString::fromLatin1(nome));
        if (!w) qFatal("campo %s não existe", nome);
        return w;
    }
    QLineEdit* codigo() { return campo<QLineEdit>("w_Codigo"); }
    QLineEdit* password() { return campo<QLineEdit>("Password"); }
    QWidget* foco() { return QApplication::focusWidget(); }

    void digitaCodigo(const QString& texto, Qt::Key tecla = Qt::Key_Tab)
    {
        codigo()->setFocus();
        codigo()->clear();
        QTest::keyClicks(codigo(), texto);
        QTest::keyClick(codigo(), tecla);
    }
    // Picks a user in the name list, as a click on the list does.
    void escolheNome(const QString& nome)
    {
        auto* lista = campo<DBLookupComboBox>("DBLookupComboBox1");
        lista->setFocus();
        const int i = lista->findText(nome);
        QVERIFY2(i >= 0, qPrintable(nome));
        lista->setCurrentIndex(i);
        Q_EMIT lista->activated(i);
    }
    void digitaSenha(const QString& texto)
    {
        password()->setFocus();
        QTest::keyClicks(password(), texto);
    }

    bool aceito() const { return !senha->isVisible() && senha->result() == QDialog::Accepted; }
    bool cancelado() const { return !senha->isVisible() && senha->result() == QDialog::Rejected; }
    int usuarioAtual() const { return dados->Usuarios->value("ID").toInt(); }
    int logs() { return consulta("SELECT COUNT(*) FROM LOGUSUARIO").first().first().toInt(); }

private Q_SLOTS:
    void init()
    {
        db = std::make_unique<TestDatabase>();
        dados = std::make_unique<TDados>(db->settings());
        dados->SistemaCentral = "Comedal";
        caixas.limpa();
        defineDialogos(&caixas);
        encerrou = 0;
        sessao().UsuarioEmUso.clear();
        sessao().xxLogUsuario = 0;
        parametros().limpa();
        relogio = QDateTime(hoje, agoraHora);
        defineRelogio([this] { return relogio; });
        TSenha::defineFabricaRecuperacao({});
        cria({12, "ANA", 7777});
        cria({123, "BRUNO"});
        cria({40, "CARLOS", QVariant(), QString("Segredo1"), "N"});
        cria({41, "DORA", QVariant(), QString("Segredo1"), "B"});
    }
    void cleanup()
    {
        senha.reset();
        dados.reset();
        db.reset();
        defineDialogos(nullptr);
        defineRelogio({});
        TSenha::defineFabricaRecuperacao({});
    }

    void janela()
    {
        abre();
        QCOMPARE(senha->size(), QSize(488, 288));
        QVERIFY(senha->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!senha->mask().contains(QPoint(0, 0))); // rounded corners
        QVERIFY(senha->mask().contains(QPoint(244, 144)));
        QCOMPARE(campo<QLabel>("LabelTopo")->text(), QString("COMEDAL"));
        for (const char* nome : {"w_Codigo", "DBLookupComboBox1", "Password"}) {
            bool temRotulo = false;
            for (QLabel* l : senha->findChildren<QLabel*>())
                temRotulo = temRotulo || l->buddy() == campo<QWidget>(nome);
            QVERIFY2(temRotulo, nome);
        }
        auto* olho = campo<QToolButton>("SpeedButton1");
        QCOMPARE(olho->toolTip(), QString("Mostrar a Senha Digitada"));
        QCOMPARE(olho->accessibleName(), QString("Mostrar a Senha Digitada"));
        QCOMPARE(campo<QLabel>("Label9")->text(), QString("Esqueci minha senha"));
        QCOMPARE(campo<QLabel>("LabelLogar")->text(), QString("Logar"));
        QCOMPARE(campo<QLabel>("Label4")->text(), QString("Sair do Sistema"));
        QCOMPARE(campo<QLabel>("Label5")->text(), QString("Limpar Senha"));
        QCOMPARE(password()->echoMode(), QLineEdit::Password);
        QCOMPARE(senha->vezes, 0);

        // The name list holds every user but the deactivated ones, by name.
        auto* lista = campo<DBLookupComboBox>("DBLookupComboBox1");
        QStringList nomes;
        for (int i = 0; i < lista->count(); ++i)
            nomes << lista->itemText(i);
        QCOMPARE(nomes, (QStringList{"ADMINISTRADOR", "ANA", "BRUNO", "DORA"}));
        QCOMPARE(lista->maxVisibleItems(), 10);

        // Tab order and the panels' focus colour.
        auto* logar = campo<QFrame>("PanelLogar");
        QCOMPARE(logar->palette().color(QPalette::Window), QColor(Qt::white));
        password()->setFocus();
        QTest::keyClick(password(), Qt::Key_Tab);
        QCOMPARE(foco(), logar);
        QCOMPARE(logar->palette().color(QPalette::Window), QColor(0x00, 0x00, 0x80));
        QTest::keyClick(logar, Qt::Key_Tab);
        QCOMPARE(foco(), campo<QWidget>("PanelSair"));
        QCOMPARE(logar->palette().color(QPalette::Window), QColor(Qt::white));
        QTest::keyClick(foco(), Qt::Key_Tab);
        QCOMPARE(foco(), campo<QWidget>("PanelLimparSenha"));
    }

    void codigoSoAceitaDigitos()
    {
        abre();
        QTest::keyClicks(codigo(), "1a2' -3;9x");
        QCOMPARE(codigo()->text(), QString("1239"));
    }

    void identificacaoPeloCodigo_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("usuario"); // 0: stays where it was
        QTest::addColumn<QString>("mensagem");

        QTest::newRow("seis dígitos") << "000123" << 12 << "";
        QTest::newRow("zero à esquerda") << "0123" << 123 << "";
        QTest::newRow("chave") << "12" << 12 << "";
        QTest::newRow("matrícula") << "7777" << 12 << "";
        QTest::newRow("administrador") << "1" << 1 << "";
        QTest::newRow("ninguém") << "999" << 0 << "Usuário não Encontrado!";
        QTest::newRow("só zeros") << "000000" << 0 << "Usuário não Encontrado!";
        QTest::newRow("desativado") << "40" << 0 << "Usuário não Encontrado!";
        QTest::newRow("bloqueado") << "41" << 41 << "Cadastro de usuário Bloqueado!";
    }
    void identificacaoPeloCodigo()
    {
        QFETCH(QString, texto);
        QFETCH(int, usuario);
        QFETCH(QString, mensagem);
        abre();
        digitaCodigo(texto, Qt::Key_Return); // Enter moves on, as Tab does
        QVERIFY(senha->isVisible());
        QCOMPARE(encerrou, 0);
        if (mensagem.isEmpty()) {
            QVERIFY(caixas.caixas().isEmpty());
            QCOMPARE(usuarioAtual(), usuario);
            QCOMPARE(foco(), password());
            QCOMPARE(campo<DBLookupComboBox>("DBLookupComboBox1")->chave().toInt(), usuario);
        } else {
            QCOMPARE(caixas.textos(), QStringList{mensagem});
            QCOMPARE(caixas.caixas().first().tipo, TipoCaixa::Erro);
            QCOMPARE(foco(), codigo());
            if (usuario) QCOMPARE(usuarioAtual(), usuario);
        }
    }

    // Leaving the code box by clicking the name list: the code's rule decides where the cursor goes,
    // and the list does not drop down over it.
    void saidaDoCodigoPelaListaDeNomes_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("destino");
        QTest::newRow("ninguém") << "999"
                                 << "Usuário não Encontrado!"
                                 << "w_Codigo";
        QTest::newRow("achado") << "12"
                                << ""
                                << "Password";
        QTest::newRow("vazio") << ""
                               << ""
                               << "DBLookupComboBox1";
    }
    void saidaDoCodigoPelaListaDeNomes()
    {
        QFETCH(QString, texto);
        QFETCH(QString, mensagem);
        QFETCH(QString, destino);
        abre();
        QTest::keyClicks(codigo(), texto);
        auto* lista = campo<DBLookupComboBox>("DBLookupComboBox1");
        QTest::mouseClick(lista, Qt::LeftButton);
        QCOMPARE(caixas.textos(), mensagem.isEmpty() ? QStringList() : QStringList{mensagem});
        const bool desce = destino == QLatin1String("DBLookupComboBox1"); // nothing to leave: the list drops down
        if (!desce) QCOMPARE(foco(), campo<QWidget>(destino.toLatin1().constData()));
        QTRY_COMPARE(lista->view()->isVisible(), desce);
        if (desce) lista->hidePopup();
        QTest::qWait(50);
        QCOMPARE(caixas.caixas().size(), mensagem.isEmpty() ? 0 : 1);
    }

    // A click in the middle of the empty code box: the code typed next is taken whole.
    void cliqueNoMeioDoCodigo()
    {
        abre();
        QTest::mouseClick(codigo(), Qt::LeftButton, {}, codigo()->rect().center());
        QTest::keyClicks(codigo(), "123");
        QTest::keyClick(codigo(), Qt::Key_Tab);
        QVERIFY(caixas.caixas().isEmpty());
        QCOMPARE(usuarioAtual(), 123);
        QCOMPARE(foco(), password());
    }

    void verificacoes_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<int>("usuario");
        QTest::addColumn<QVariant>("expira");
        QTest::addColumn<QVariant>("inicio");
        QTest::addColumn<QVariant>("fim");
        QTest::addColumn<QTime>("hora");
        QTest::addColumn<QStringList>("avisos");
        QTest::addColumn<QString>("desfecho"); // segue, fechou (window closed), encerrou (program ended), aceito

        const QVariant longe = hoje.addDays(30), oito = QTime(8, 0), seis = QTime(18, 0);
        const QString cpd = ". Qualquer dúvida: entre em contato com o CPD";
        const QString ti = ". Qualquer dúvida: entre em contato com o TI";
        const QString expirou = "Seu acesso expirou. Entre em contato com o Administrador";

        QTest::newRow("código: expira hoje")
            << "codigo" << 12 << QVariant(hoje) << oito << seis << agoraHora << QStringList{expirou} << "fechou";
        QTest::newRow("código: sem validade")
            << "codigo" << 12 << QVariant() << oito << seis << agoraHora << QStringList{expirou} << "fechou";
        QTest::newRow("código: expira em três dias")
            << "codigo" << 12 << QVariant(hoje.addDays(3)) << oito << seis << agoraHora
            << QStringList{"Seu acesso expira em 13/03/2026" + cpd} << "segue";
        QTest::newRow("código: expira em cinco dias")
            << "codigo" << 12 << QVariant(hoje.addDays(5)) << oito << seis << agoraHora
            << QStringList{"Seu acesso expira em 15/03/2026" + cpd} << "segue";
        QTest::newRow("código: expira em seis dias")
            << "codigo" << 12 << QVariant(hoje.addDays(6)) << oito << seis << agoraHora << QStringList{} << "segue";
        QTest::newRow("código: sem hora final")
            << "codigo" << 12 << longe << oito << QVariant() << agoraHora
            << QStringList{"Sua permissão de acesso terminou em 00:00:00" + cpd} << "fechou";
        QTest::newRow("código: hora final agora")
            << "codigo" << 12 << longe << oito << QVariant(agoraHora) << agoraHora << QStringList{} << "segue";
        QTest::newRow("código: antes do início")
            << "codigo" << 12 << longe << QVariant(QTime(10, 0, 1)) << seis << agoraHora
            << QStringList{"Sua permissão de acesso inicia em 10:00:01" + cpd} << "fechou";
        QTest::newRow("código: administrador fora de tudo")
            << "codigo" << 1 << QVariant() << QVariant(QTime(0, 0)) << QVariant(QTime(23, 59)) << QTime(23, 59, 30)
            << QStringList{} << "segue";

        QTest::newRow("enter: expirado") << "enter" << 12 << QVariant(hoje.addDays(-1)) << oito << seis << agoraHora
                                         << QStringList{expirou} << "encerrou";
        QTest::newRow("enter: depois do fim")
            << "enter" << 12 << longe << oito << QVariant(QTime(9, 59, 59)) << agoraHora
            << QStringList{"Sua permissão de acesso terminou as 09:59:59" + ti} << "encerrou";
        QTest::newRow("enter: expira em três dias")
            << "enter" << 12 << QVariant(hoje.addDays(3)) << oito << seis << agoraHora
            << QStringList{"Seu acesso expira em 13/03/2026" + ti} << "aceito";
        QTest::newRow("enter: administrador fora de tudo")
            << "enter" << 1 << QVariant() << QVariant(QTime(0, 0)) << QVariant(QTime(23, 59)) << QTime(23, 59, 30)
            << QStringList{} << "aceito";

        QTest::newRow("clique: aviso e fora de hora")
            << "clique" << 12 << QVariant(hoje.addDays(3)) << oito << QVariant(QTime(9, 0)) << agoraHora
            << QStringList{"Seu acesso expira em 13/03/2026. Qualquer dúvida: entre em contato com o Adminsitrador do "
                           "Sistema",
                           "Sua permissão de acesso terminou as 09:00:00. Qualquer dúvida: entre em contato com com o "
                           "Adminsitrador do Sistema"}
            << "encerrou";
        QTest::newRow("clique: dentro de tudo")
            << "clique" << 12 << longe << oito << seis << agoraHora << QStringList{} << "aceito";

        QTest::newRow("tecla no Logar: antes do início")
            << "tecla" << 12 << longe << QVariant(QTime(11, 0)) << seis << agoraHora
            << QStringList{"Sua permissão de acesso inicia em 11:00:00" + cpd} << "encerrou";
        QTest::newRow("tecla no Logar: depois do fim")
            << "tecla" << 12 << longe << oito << QVariant(QTime(9, 0)) << agoraHora
            << QStringList{"Sua permissão de acesso terminou as 09:00:00" + cpd} << "encerrou";
    }
    void verificacoes()
    {
        QFETCH(QString, via);
        QFETCH(int, usuario);
        QFETCH(QVariant, expira);
        QFETCH(QVariant, inicio);
        QFETCH(QVariant, fim);
        QFETCH(QTime, hora);
        QFETCH(QStringList, avisos);
        QFETCH(QString, desfecho);

        if (usuario == 12) {
            fb::Attachment att = db->attach();
            fb::Transaction tra(att);
            {
                fb::Statement s(att, tra,
                                "UPDATE USUARIOS SET EXPIRA = :E, HORAINICIO = :I, HORAFIM = :F WHERE ID = 12");
                s.setParameter("E", expira);
                s.setParameter("I", inicio);
                s.setParameter("F", fim);
                s.execute();
            }
            tra.commit();
        }
        relogio = QDateTime(hoje, hora);
        const QString nome = usuario == 1 ? "ADMINISTRADOR" : "ANA";
        const QString segredo = usuario == 1 ? "Comedal@1" : "Segredo1";
        abre();

        if (via == "codigo") {
            digitaCodigo(QString::number(usuario));
        } else {
            escolheNome(nome);
            digitaSenha(segredo);
            if (via == "enter") {
                QTest::keyClick(password(), Qt::Key_Return);
            } else if (via == "clique") {
                QTest::mouseClick(campo<QLabel>("Image4"), Qt::LeftButton);
            } else {
                campo<QWidget>("PanelLogar")->setFocus();
                QTest::keyClick(foco(), Qt::Key_Space);
            }
        }

        QCOMPARE(caixas.textos(), avisos);
        for (const auto& c : caixas.caixas())
            QCOMPARE(c.tipo, TipoCaixa::Aviso);
        if (desfecho == "segue") {
            QVERIFY(senha->isVisible());
            QCOMPARE(foco(), password());
            QCOMPARE(encerrou, 0);
        } else if (desfecho == "fechou") {
            QVERIFY(cancelado());
            QCOMPARE(encerrou, 0);
        } else if (desfecho == "encerrou") {
            QVERIFY(cancelado());
            QCOMPARE(encerrou, 1);
        } else {
            QVERIFY(aceito());
            QCOMPARE(usuarioAtual(), usuario);
            QCOMPARE(encerrou, 0);
        }
        QCOMPARE(logs(), 0); // the login row is the main window's business
    }

    void caminhoDoEnter_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("diretoComEnter");
        QTest::newRow("chave") << "12" << true;
        QTest::newRow("matrícula") << "7777" << false;
        QTest::newRow("seis dígitos") << "000123" << false;
    }
    void caminhoDoEnter()
    {
        QFETCH(QString, texto);
        QFETCH(bool, diretoComEnter);
        db->exec(
            "INSERT INTO ACESSOS (USUARIO, PROGRAMA, INCLUIR, ALTERAR, EXCLUIR) VALUES (1, 'Clientes', 'S', 'S', 'S');"
            "INSERT INTO ACESSOS (USUARIO, PROGRAMA, INCLUIR, ALTERAR, EXCLUIR) VALUES (12, 'Clientes', 'N', 'S', "
            "'N');");
        dados->Acessos->open(); // user 1's rows, as before every login
        abre();
        digitaCodigo(texto);
        QTest::keyClicks(password(), "Segredo1");
        QTest::keyClick(password(), Qt::Key_Return);
        if (!diretoComEnter) {
            QVERIFY(senha->isVisible());
            QCOMPARE(foco(), campo<QWidget>("PanelLogar"));
            QTest::keyClick(foco(), Qt::Key_Return);
        }
        QVERIFY(aceito());
        QVERIFY(caixas.caixas().isEmpty());
        QCOMPARE(usuarioAtual(), 12);
        QCOMPARE(senha->vezes, 0);

        // The rights that screens read are the working user's.
        Dataset& acessos = *dados->Acessos;
        QVERIFY(acessos.active());
        QCOMPARE(acessos.recordCount(), 1);
        QCOMPARE(acessos.value("USUARIO").toInt(), 12);
        QCOMPARE(acessos.value("ALTERAR").toString(), QString("S"));
    }

    // The tenth wrong password ends the program and logs the attempt; the user is blocked, except
    // the administrator, whom anyone at a counter could otherwise lock out of the system.
    void dezSenhasErradasBloqueiam_data()
    {
        QTest::addColumn<int>("usuario");
        QTest::addColumn<QString>("ativo"); // afterwards
        QTest::addColumn<int>("bloqueados");
        QTest::newRow("operator") << 12 << "B" << 2; // and DORA
        QTest::newRow("administrator") << 1 << "S" << 1;
    }
    void dezSenhasErradasBloqueiam()
    {
        QFETCH(int, usuario);
        QFETCH(QString, ativo);
        QFETCH(int, bloqueados);
        abre();
        digitaCodigo(QString::number(usuario));
        for (int i = 1; i <= 9; ++i) {
            QTest::keyClicks(password(), "segredo1"); // letter case counts
            QTest::keyClick(password(), Qt::Key_Return);
            QCOMPARE(caixas.textos().last(), QString("Senha Invalida. restam %1 vezes").arg(10 - i));
            QCOMPARE(caixas.caixas().last().tipo, TipoCaixa::Erro);
            QCOMPARE(password()->text(), QString());
            QCOMPARE(foco(), password());
            QCOMPARE(senha->vezes, i);
        }
        QCOMPARE(caixas.textos().last(), QString("Senha Invalida. restam 1 vezes"));
        QCOMPARE(encerrou, 0);

        QTest::keyClicks(password(), "x' OR '1'='1");
        QTest::keyClick(password(), Qt::Key_Return);
        QCOMPARE(caixas.textos().last(),
                 QString("Senha Bloqueada. Entre em contato com com o Adminsitrador do Sistema"));
        QCOMPARE(encerrou, 1);
        QVERIFY(cancelado());

        QCOMPARE(consulta(QString("SELECT ATIVO FROM USUARIOS WHERE ID = %1").arg(usuario)).first().first().toString(),
                 ativo);
        QCOMPARE(consulta("SELECT COUNT(*) FROM USUARIOS WHERE ATIVO = 'B'").first().first().toInt(), bloqueados);
        const QList<Linha> log = consulta("SELECT ID, USUARIO, SISTEMA, ENTRADA, SAIDA, IP, VERSAO FROM LOGUSUARIO");
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0][0].toInt(), 1); // the predicted key of an empty log
        QCOMPARE(log[0][1].toInt(), usuario);
        QCOMPARE(log[0][2].toString(), QString("Comedal"));
        QCOMPARE(log[0][3].toDateTime(), relogio);
        QVERIFY(log[0][4].isNull());
        QCOMPARE(log[0][5].toString(), dados->IpSistemaCentral);
        QCOMPARE(log[0][6].toString(), dados->VersaoSistemaCentral + "*");
    }

    void contagemValeParaQualquerUsuario()
    {
        abre();
        digitaCodigo("12");
        for (int i = 0; i < 5; ++i) {
            QTest::keyClicks(password(), "errada");
            QTest::keyClick(password(), Qt::Key_Return);
        }
        digitaCodigo("123");
        for (int i = 0; i < 4; ++i) {
            QTest::keyClicks(password(), "errada");
            QTest::keyClick(password(), Qt::Key_Return);
        }
        QCOMPARE(caixas.textos().last(), QString("Senha Invalida. restam 1 vezes"));
        QTest::keyClicks(password(), "errada");
        QTest::keyClick(password(), Qt::Key_Return);
        QCOMPARE(encerrou, 1);
        // The one whose password was refused the tenth time is blocked.
        QCOMPARE(consulta("SELECT ID FROM USUARIOS WHERE ATIVO = 'B' ORDER BY ID"), (QList<Linha>{{41}, {123}}));
    }

    void senhaErradaPorCaminho_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("sobra"); // what the password box keeps
        QTest::newRow("enter") << "enter"
                               << "";
        QTest::newRow("clique") << "clique"
                                << "";
        QTest::newRow("tecla no Logar") << "tecla"
                                        << "Errada";
    }
    void senhaErradaPorCaminho()
    {
        QFETCH(QString, via);
        QFETCH(QString, sobra);
        abre();
        escolheNome("ANA");
        digitaSenha("Errada");
        if (via == "enter") {
            QTest::keyClick(password(), Qt::Key_Return);
        } else if (via == "clique") {
            QTest::mouseClick(campo<QWidget>("PanelLogar"), Qt::LeftButton);
        } else {
            campo<QWidget>("PanelLogar")->setFocus();
            QTest::keyClick(foco(), Qt::Key_L);
        }
        QCOMPARE(caixas.textos(), QStringList{"Senha Invalida. restam 9 vezes"});
        QCOMPARE(password()->text(), sobra);
        QCOMPARE(foco(), password());
        QVERIFY(senha->isVisible());
    }

    void bloqueadoFicaFora_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<bool>("bloqueadoDepois"); // blocked by another workstation after the list was read
        QTest::addColumn<QString>("mensagem");
        const QString bloqueado = "Usuário Bloqueado. Você não tem mais acesso ao sistema";
        QTest::newRow("enter") << "enter" << false << bloqueado;
        QTest::newRow("clique") << "clique" << false << bloqueado + "#";
        QTest::newRow("tecla no Logar") << "tecla" << false << bloqueado;
        QTest::newRow("bloqueado depois, enter") << "enter" << true << bloqueado;
    }
    void bloqueadoFicaFora()
    {
        QFETCH(QString, via);
        QFETCH(bool, bloqueadoDepois);
        QFETCH(QString, mensagem);
        abre();
        const QString nome = bloqueadoDepois ? "ANA" : "DORA";
        escolheNome(nome);
        if (bloqueadoDepois) db->exec("UPDATE USUARIOS SET ATIVO = 'B' WHERE ID = 12");
        digitaSenha("Segredo1");
        if (via == "enter") {
            QTest::keyClick(password(), Qt::Key_Return);
            QCOMPARE(foco(), campo<QWidget>("PanelLogar"));
            QTest::keyClick(foco(), Qt::Key_Return); // and again on "Logar"
        } else if (via == "clique") {
            QTest::mouseClick(campo<QLabel>("LabelLogar"), Qt::LeftButton);
        } else {
            campo<QWidget>("PanelLogar")->setFocus();
            QTest::keyClick(foco(), Qt::Key_Space);
        }
        QVERIFY(!caixas.textos().isEmpty());
        for (const QString& t : caixas.textos())
            QCOMPARE(t, mensagem);
        QVERIFY(senha->isVisible());
        QCOMPARE(senha->vezes, 0);
    }

    void senhaVaziaEntraPeloClique()
    {
        db->exec("UPDATE USUARIOS SET SENHA = NULL WHERE ID = 123");
        abre();
        // The code box still has the focus: the click only moves on, and leaving looks the user up.
        QTest::keyClicks(codigo(), "123");
        QTest::mouseClick(campo<QLabel>("Image4"), Qt::LeftButton);
        QVERIFY(senha->isVisible());
        QCOMPARE(foco(), password());
        QCOMPARE(usuarioAtual(), 123);
        // Now the empty box equals the empty password.
        QTest::mouseClick(campo<QLabel>("Image4"), Qt::LeftButton);
        QVERIFY(aceito());
        QVERIFY(caixas.caixas().isEmpty());
        QCOMPARE(usuarioAtual(), 123);
    }

    void escapeSaiSemRegistro_data()
    {
        QTest::addColumn<QString>("onde");
        QTest::newRow("código") << "w_Codigo";
        QTest::newRow("nome") << "DBLookupComboBox1";
        QTest::newRow("senha") << "Password";
        QTest::newRow("Logar") << "PanelLogar";
    }
    void escapeSaiSemRegistro()
    {
        QFETCH(QString, onde);
        abre();
        QTest::keyClicks(codigo(), "12");
        QWidget* w = campo<QWidget>(qPrintable(onde));
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(cancelado());
        QCOMPARE(encerrou, 0);
        QCOMPARE(logs(), 0);
        QVERIFY(caixas.caixas().isEmpty());
    }

    void limparESair_data()
    {
        QTest::addColumn<QString>("alvo");
        QTest::addColumn<bool>("tecla"); // the space bar on the focused panel instead of a click
        QTest::addColumn<bool>("sai");
        QTest::newRow("clique no texto Limpar") << "Label5" << false << false;
        QTest::newRow("clique na figura Limpar") << "Image3" << false << false;
        QTest::newRow("clique no painel Limpar") << "PanelLimparSenha" << false << false;
        QTest::newRow("tecla no painel Limpar") << "PanelLimparSenha" << true << false;
        QTest::newRow("clique no texto Sair") << "Label4" << false << true;
        QTest::newRow("clique na figura Sair") << "Image2" << false << true;
        QTest::newRow("clique no painel Sair") << "PanelSair" << false << true;
        QTest::newRow("tecla no painel Sair") << "PanelSair" << true << true;
    }
    void limparESair()
    {
        QFETCH(QString, alvo);
        QFETCH(bool, tecla);
        QFETCH(bool, sai);
        abre();
        digitaSenha("abc");
        QWidget* w = campo<QWidget>(qPrintable(alvo));
        if (tecla) {
            w->setFocus();
            QTest::keyClick(w, Qt::Key_Space);
        } else {
            QTest::mouseClick(w, Qt::LeftButton);
        }
        if (sai) {
            QVERIFY(cancelado());
            QCOMPARE(encerrou, 0);
        } else {
            QVERIFY(senha->isVisible());
            QCOMPARE(password()->text(), QString());
            QCOMPARE(foco(), password());
        }
        QCOMPARE(senha->vezes, 0);
        QVERIFY(caixas.caixas().isEmpty());
    }

    void mostraSenhaEnquantoPressionado()
    {
        abre();
        auto* olho = campo<QToolButton>("SpeedButton1");
        QTest::mousePress(olho, Qt::LeftButton);
        QCOMPARE(password()->echoMode(), QLineEdit::Normal);
        QTest::mouseRelease(olho, Qt::LeftButton);
        QCOMPARE(password()->echoMode(), QLineEdit::Password);
    }

    void esqueciMinhaSenha()
    {
        int criadas = 0;
        TSenha::defineFabricaRecuperacao([&criadas](QWidget* pai) {
            ++criadas;
            auto* w = new QWidget(pai, Qt::Window);
            w->setObjectName("Recuperar");
            return w;
        });
        abre();
        QTest::mouseClick(campo<QLabel>("Label9"), Qt::LeftButton);
        QCOMPARE(caixas.textos(),
                 QStringList{"Atenção seu sistema não esta configurado para enviarmensagens através do whatsapp. "
                             "Solicite ao seu administradorpara liberar essa funcionabilidade"});
        QCOMPARE(criadas, 0);

        parametros().VetorConfig = {"TOKENWHATAPPGW"};
        parametros().VetorConfigVal = {"abc"};
        caixas.limpa();
        QTest::mouseClick(campo<QLabel>("Label9"), Qt::LeftButton);
        QTest::mouseClick(campo<QLabel>("Label9"), Qt::LeftButton);
        QVERIFY(caixas.caixas().isEmpty());
        QCOMPARE(criadas, 1); // created once and kept
        QVERIFY(senha->janelaRecuperacao() && senha->janelaRecuperacao()->isVisible());
        QVERIFY(senha->isVisible());
    }

    void esqueciMinhaSenhaAbreARecuperacao()
    {
        parametros().VetorConfig = {"tokenwhatappgw"};
        parametros().VetorConfigVal = {"abc"};
        abre();
        QTest::mouseClick(campo<QLabel>("Label9"), Qt::LeftButton);
        auto* janela = qobject_cast<TRecuperarSenha*>(senha->janelaRecuperacao());
        QVERIFY(janela);
        QVERIFY(janela->isVisible());
        QVERIFY(!janela->isModal());
        QVERIFY(senha->isVisible());
        QVERIFY(caixas.caixas().isEmpty());
    }

    void guardaLoginUser()
    {
        db->exec("SET GENERATOR GEN_LOGUSUARIO TO 41");
        GuardaLoginUser(12);
        QCOMPARE(sessao().xxLogUsuario, 42.0);
        const QList<Linha> log = consulta("SELECT ID, USUARIO, SISTEMA, ENTRADA, SAIDA, IP, VERSAO FROM LOGUSUARIO");
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0][0].toInt(), 42);
        QCOMPARE(log[0][1].toInt(), 12);
        QCOMPARE(log[0][2].toString(), QString("Comedal"));
        QCOMPARE(log[0][3].toDateTime(), relogio);
        QVERIFY(log[0][4].isNull());
        QCOMPARE(log[0][6].toString(), dados->VersaoSistemaCentral);
        QVERIFY(!dados->LogEntrada->active());

        // A row that cannot be written is dropped without a word.
        dados->SistemaCentral.clear();
        GuardaLoginUser(12);
        QCOMPARE(sessao().xxLogUsuario, 0.0); // no row: no key the exit could write into
        QCOMPARE(logs(), 1);
        QVERIFY(caixas.caixas().isEmpty());
        QVERIFY(!dados->LogEntrada->active());
        dados->SistemaCentral = "Comedal";
        GuardaLoginUser(1); // and the next one works again
        QCOMPARE(logs(), 2);
    }
};

QTEST_MAIN(Login)
#include "gui_senha.moc"
