// The user registry against a real database: rights on its buttons, adding and changing users
// with the password stored under its rules, the account states and the shared list, the go-to
// code, the login list of the second tab, the photo, and the screen's keys.
#include "common/acessos.h"
#include "common/dialogos.h"
#include "common/sessao.h"
#include "common/ui/dbedit.h"
#include "common/ui/dbimage.h"
#include "common/ui/dbmemo.h"
#include "common/ui/dbradiogroup.h"
#include "common/ui/telacadastro.h"
#include "data/arquivos.h"
#include "telas.h"
#include "testdb.h"
#include "users/xUsuarios.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString SemExpiracao = QStringLiteral(
    "\"Senha Expira em\" não foi informada: o login recusará este usuário até que a data seja preenchida.");

struct Base
{
    TestDatabase db;
    TDados dados{db.settings()};
    DialogosRoteirizados caixas;
    Dialogos* anterior = defineDialogos(&caixas);

    explicit Base(const QString& usuario = QStringLiteral("1"))
    {
        sessao().UsuarioEmUso = usuario;
        dados.SistemaCentral = QStringLiteral("Comedal");
        // Users 2 ANA, 3 BRUNO, 4 CARLA (blocked); logins of Ana in this system and in another one.
        db.exec(QStringLiteral(
            "insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA) "
            "values ('ANA', 'Ana123', 'SALVADOR', 'CENTRO', '12345678909', '1980-03-12', 'S', 'N');\n"
            "insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA) "
            "values ('BRUNO', 'Bruno1', 'SALVADOR', 'BARRA', '52998224725', '1990-07-01', 'S', 'N');\n"
            "insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA) "
            "values ('CARLA', 'Carla1', 'SALVADOR', 'PITUBA', '11144477735', '1985-12-31', 'B', 'N');\n"
            "insert into LOGUSUARIO (USUARIO, SISTEMA, ENTRADA, VERSAO) values (2, 'Comedal', '2024-05-01 08:00', "
            "'a');\n"
            "insert into LOGUSUARIO (USUARIO, SISTEMA, ENTRADA, VERSAO) values (2, 'Outro', '2024-05-02 08:00', 'b');\n"
            "insert into LOGUSUARIO (USUARIO, SISTEMA, ENTRADA, VERSAO) values (3, 'Comedal', '2024-05-03 08:00', "
            "'c');\n"
            "insert into LOGUSUARIO (USUARIO, SISTEMA, ENTRADA, VERSAO) values (2, 'Comedal', '2024-05-04 08:00', "
            "'d');\n"
            "update USUARIOS set EXPIRA = '2030-12-31';\n"));
        dados.Usuarios->open();
    }
    ~Base() { defineDialogos(anterior); }

    void direitos(int usuario, const char* programa, const char* incluir, const char* alterar, const char* excluir)
    {
        db.exec(QStringLiteral("insert into ACESSOS (USUARIO, PROGRAMA, INCLUIR, ALTERAR, EXCLUIR) "
                               "values (%1, '%2', '%3', '%4', '%5')")
                    .arg(usuario)
                    .arg(QString::fromUtf8(programa), QString::fromLatin1(incluir), QString::fromLatin1(alterar),
                         QString::fromLatin1(excluir)));
    }

    QVariant coluna(const QString& sql) const { return db.valor(sql); }
};

void digita(QWidget* tela, const char* caixa, const QString& texto)
{
    auto* e = filho<QLineEdit>(tela, caixa);
    e->selectAll();
    QTest::keyClicks(e, texto);
}

QString botoesLigados(QWidget* tela)
{
    QString s;
    for (const char* n : {"Incluir", "Alterar", "Excluir"})
        s += botao(tela, n)->isEnabled() ? QLatin1Char(n[0]) : QLatin1Char('-');
    return s;
}

bool mostra(QWidget* w)
{
    return mostra(w, QSize(1100, 700));
}

// Fills a new user's required boxes.
void preencheNovo(QWidget* tela, const QString& cpf = QStringLiteral("11122233396"))
{
    digita(tela, "w_CPF", cpf);
    digita(tela, "w_Nome", QStringLiteral("daniel"));
    digita(tela, "w_Cidade", QStringLiteral("SALVADOR"));
    digita(tela, "w_Bairro", QStringLiteral("ONDINA"));
    digita(tela, "w_Nascimento", QStringLiteral("01021995"));
}

} // namespace

class UserRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void direitos_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("incluir");
        QTest::addColumn<QString>("alterar");
        QTest::addColumn<QString>("excluir");
        QTest::addColumn<QString>("programa");
        QTest::addColumn<QString>("ligados");
        QTest::newRow("administrator without rows") << "1"
                                                    << ""
                                                    << ""
                                                    << ""
                                                    << ""
                                                    << "IAE";
        QTest::newRow("all rights") << "2"
                                    << "S"
                                    << "S"
                                    << "S"
                                    << "Usuários"
                                    << "IAE";
        QTest::newRow("add only") << "2"
                                  << "S"
                                  << "N"
                                  << "N"
                                  << "Usuários"
                                  << "I--";
        QTest::newRow("change only") << "2"
                                     << "N"
                                     << "S"
                                     << ""
                                     << "Usuários"
                                     << "-A-";
        QTest::newRow("delete only") << "2"
                                     << ""
                                     << ""
                                     << "S"
                                     << "Usuários"
                                     << "--E";
        QTest::newRow("rights on another program") << "2"
                                                   << "S"
                                                   << "S"
                                                   << "S"
                                                   << "Clientes"
                                                   << "---";
        QTest::newRow("no rights row") << "2"
                                       << ""
                                       << ""
                                       << ""
                                       << ""
                                       << "---";
    }
    void direitos()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, incluir);
        QFETCH(QString, alterar);
        QFETCH(QString, excluir);
        QFETCH(QString, programa);
        QFETCH(QString, ligados);
        Base b(usuario);
        if (!programa.isEmpty())
            b.direitos(usuario.toInt(), programa.toUtf8().constData(), incluir.toLatin1().constData(),
                       alterar.toLatin1().constData(), excluir.toLatin1().constData());
        SelecionaAcessos(usuario.toInt());
        TCad_Usuario tela;
        QCOMPARE(botoesLigados(&tela), ligados);
        // Whichever user is shown.
        botao(&tela, "Button4")->click();
        QCOMPARE(botoesLigados(&tela), ligados);
        // Nothing of the three while a user is written; the rights again after cancelling.
        if (ligados.contains(u'A')) {
            botao(&tela, "Alterar")->click();
            QCOMPARE(botoesLigados(&tela), QStringLiteral("---"));
            b.caixas.responde(Botao::Sim);
            botao(&tela, "NaoConfirmar")->click();
            QCOMPARE(b.caixas.textos().last(), QStringLiteral("Deseja Cancelar Atualização?"));
            QCOMPARE(botoesLigados(&tela), ligados);
        }
        // Each activation reads the rights again, but never enables them while a user is written.
        tela.FormActivate();
        QCOMPARE(botoesLigados(&tela), ligados);
    }

    void direitosSoValemNavegando()
    {
        Base b(QStringLiteral("2"));
        b.direitos(2, "Usuários", "S", "S", "S");
        SelecionaAcessos(2);
        TCad_Usuario tela;
        botao(&tela, "Alterar")->click();
        tela.FormActivate(); // coming back to the screen in the middle of a change
        QCOMPARE(botoesLigados(&tela), QStringLiteral("---"));
        QVERIFY(b.dados.Usuarios->isEditing());
    }

    void incluiComSenha()
    {
        Base b;
        TCad_Usuario tela;
        QVERIFY(mostra(&tela));
        filho<QTabWidget>(&tela, "PageControl")->setCurrentIndex(1);
        botao(&tela, "Incluir")->click();
        QCOMPARE(filho<QTabWidget>(&tela, "PageControl")->currentIndex(), 0);
        QCOMPARE(filho<QLabel>(&tela, "Estado")->text(), QStringLiteral("Incluindo..."));
        QTRY_VERIFY(filho(&tela, "w_CPF")->hasFocus());
        QCOMPARE(b.dados.Usuarios->value("HORAINICIO").toTime(), QTime(0, 0));
        QCOMPARE(b.dados.Usuarios->value("HORAFIM").toTime(), QTime(23, 59));
        QVERIFY(b.dados.Usuarios->value("EXPIRA").isNull());
        auto* senha = filho<QLineEdit>(&tela, "w_Senha");
        QVERIFY(senha->isEnabled());
        QCOMPARE(senha->text(), TCad_Usuario::senhaNaoAlterada());
        preencheNovo(&tela);
        digita(&tela, "w_Senha", QStringLiteral("Op@1"));
        QCOMPARE(filho<QLabel>(&tela, "LBS")->text(), QStringLiteral("Boa"));
        botao(&tela, "Confirmar")->click();

        // Stored, and the operator told at once that the login will refuse the user.
        QCOMPARE(b.caixas.textos(), QStringList{SemExpiracao});
        QCOMPARE(filho<QLabel>(&tela, "Estado")->text(), QStringLiteral("Navegando..."));
        const QString id = b.coluna("select max(ID) from USUARIOS").toString();
        QCOMPARE(b.coluna("select NOME from USUARIOS where ID = " + id).toString(), QStringLiteral("DANIEL"));
        QCOMPARE(b.coluna("select CPF from USUARIOS where ID = " + id).toString(), QStringLiteral("11122233396"));
        QCOMPARE(b.coluna("select SENHA from USUARIOS where ID = " + id).toString(), QStringLiteral("Op@1"));
        QCOMPARE(b.coluna("select SOLICITASENHA from USUARIOS where ID = " + id).toString(), QStringLiteral("S"));
        QCOMPARE(b.coluna("select NASCIMENTO from USUARIOS where ID = " + id).toDate(), QDate(1995, 2, 1));
        QCOMPARE(b.coluna("select HORAFIM from USUARIOS where ID = " + id).toTime(), QTime(23, 59));
        // The screen shows the user just saved, though the list is read again in name order.
        QCOMPARE(b.dados.Usuarios->value("ID").toString(), id);
        QCOMPARE(filho<QLineEdit>(&tela, "w_Codigo")->text(), id);
        QVERIFY(!senha->isEnabled());
        QCOMPARE(senha->text(), TCad_Usuario::senhaNaoAlterada());
    }

    // Incluir puts the cursor in the CPF box: the digits typed next fill it from its first position.
    void cpfDigitadoAposIncluir()
    {
        Base b;
        TCad_Usuario tela;
        QVERIFY(mostra(&tela));
        botao(&tela, "Incluir")->click();
        auto* cpf = filho<QLineEdit>(&tela, "w_CPF");
        QTRY_VERIFY(cpf->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("52998224725"));
        QCOMPARE(cpf->displayText(), QStringLiteral("529.982.247-25"));
        QTest::keyClick(cpf, Qt::Key_Tab);
        QCOMPARE(b.dados.Usuarios->value("CPF").toString(), QStringLiteral("52998224725"));

        // Emptied and clicked in the middle: typed from its first position as well.
        cpf->setFocus();
        cpf->selectAll();
        QTest::keyClick(cpf, Qt::Key_Delete);
        QTest::keyClick(cpf, Qt::Key_Tab);
        QTest::mouseClick(cpf, Qt::LeftButton, {}, cpf->rect().center());
        QTest::keyClicks(cpf, QStringLiteral("11144477735"));
        QCOMPARE(cpf->displayText(), QStringLiteral("111.444.777-35"));
    }

    void senhaDoNovoUsuario_data()
    {
        QTest::addColumn<QString>("senha"); // "<none>": the field left alone
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("none") << "<none>"
                              << "Informe a senha do novo usuário (mínimo de 4 caracteres).";
        QTest::newRow("cleared") << ""
                                 << "Informe a senha do novo usuário (mínimo de 4 caracteres).";
        QTest::newRow("three characters") << "abc"
                                          << "Comprimento de Senha minimo = 4 caracteres";
    }
    void senhaDoNovoUsuario()
    {
        QFETCH(QString, senha);
        QFETCH(QString, mensagem);
        Base b;
        TCad_Usuario tela;
        const int antes = b.coluna("select count(*) from USUARIOS").toInt();
        botao(&tela, "Incluir")->click();
        preencheNovo(&tela);
        if (senha != QStringLiteral("<none>")) {
            auto* e = filho<QLineEdit>(&tela, "w_Senha");
            e->selectAll();
            QTest::keyClick(e, Qt::Key_Delete);
            QTest::keyClicks(e, senha);
        }
        botao(&tela, "Confirmar")->click();
        QCOMPARE(b.caixas.textos(), QStringList{mensagem});
        QCOMPARE(b.dados.Usuarios->state(), EstadoDataset::Insert);
        QCOMPARE(b.coluna("select count(*) from USUARIOS").toInt(), antes);
    }

    void senhaAoAlterar_data()
    {
        QTest::addColumn<QString>("senha"); // "<none>": the field left alone
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("guardada");
        QTest::addColumn<QString>("solicita");
        QTest::newRow("placeholder means unchanged") << "<none>"
                                                     << ""
                                                     << "Ana123"
                                                     << "N";
        QTest::newRow("cleared means unchanged") << ""
                                                 << ""
                                                 << "Ana123"
                                                 << "N";
        QTest::newRow("three characters") << "abc"
                                          << "Comprimento de Senha minimo = 4 caracteres"
                                          << "Ana123"
                                          << "N";
        QTest::newRow("four characters") << "abcd"
                                         << ""
                                         << "abcd"
                                         << "S";
        QTest::newRow("ten stars typed") << "**********"
                                         << ""
                                         << "**********"
                                         << "S";
    }
    void senhaAoAlterar()
    {
        QFETCH(QString, senha);
        QFETCH(QString, mensagem);
        QFETCH(QString, guardada);
        QFETCH(QString, solicita);
        Base b;
        TCad_Usuario tela;
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {2}));
        botao(&tela, "Alterar")->click();
        digita(&tela, "w_Apelido", QStringLiteral("Aninha"));
        if (senha != QStringLiteral("<none>")) {
            auto* e = filho<QLineEdit>(&tela, "w_Senha");
            e->selectAll();
            QTest::keyClick(e, Qt::Key_Delete);
            QTest::keyClicks(e, senha);
        }
        botao(&tela, "Confirmar")->click();
        QCOMPARE(b.caixas.textos(), mensagem.isEmpty() ? QStringList() : QStringList{mensagem});
        QCOMPARE(b.coluna("select SENHA from USUARIOS where ID = 2").toString(), guardada);
        QCOMPARE(b.coluna("select SOLICITASENHA from USUARIOS where ID = 2").toString(), solicita);
        QCOMPARE(b.coluna("select APELIDO from USUARIOS where ID = 2").toString(),
                 mensagem.isEmpty() ? QStringLiteral("Aninha") : QString());
    }

    void campoObrigatorio()
    {
        Base b;
        TCad_Usuario tela;
        botao(&tela, "Incluir")->click();
        digita(&tela, "w_CPF", QStringLiteral("11122233396"));
        digita(&tela, "w_Nascimento", QStringLiteral("01021995"));
        digita(&tela, "w_Bairro", QStringLiteral("ONDINA"));
        digita(&tela, "w_Senha", QStringLiteral("abcd"));
        botao(&tela, "Confirmar")->click();
        QCOMPARE(b.caixas.textos(), QStringList{"Campo 'CIDADE' deve possuir um valor."});
        QCOMPARE(b.dados.Usuarios->state(), EstadoDataset::Insert);
        // Corrected, it saves; the password typed before is still taken.
        digita(&tela, "w_Cidade", QStringLiteral("SALVADOR"));
        botao(&tela, "Confirmar")->click();
        QCOMPARE(b.caixas.textos(), (QStringList{"Campo 'CIDADE' deve possuir um valor.", SemExpiracao}));
        QCOMPARE(b.coluna("select SENHA from USUARIOS where CPF = '11122233396'").toString(), QStringLiteral("abcd"));
    }

    void estadoDaConta_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("ativo");
        QTest::addColumn<bool>("listado");
        QTest::newRow("Ativo") << 0 << "S" << true;
        QTest::newRow("Bloqueado") << 1 << "B" << true;
        QTest::newRow("Cancelado") << 2 << "N" << false;
    }
    void estadoDaConta()
    {
        QFETCH(int, item);
        QFETCH(QString, ativo);
        QFETCH(bool, listado);
        Base b;
        TCad_Usuario tela;
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {3}));
        botao(&tela, "Alterar")->click();
        filho<DBRadioGroup>(&tela, "w_Ativo")->botao(item)->click();
        botao(&tela, "Confirmar")->click();
        QCOMPARE(b.coluna("select ATIVO from USUARIOS where ID = 3").toString(), ativo);
        QCOMPARE(b.dados.Usuarios->locate({"ID"}, {3}), listado);
    }

    void cancelarPergunta()
    {
        Base b;
        TCad_Usuario tela;
        botao(&tela, "Alterar")->click();
        digita(&tela, "w_Apelido", QStringLiteral("X"));
        b.caixas.responde(Botao::Nao);
        botao(&tela, "NaoConfirmar")->click();
        QCOMPARE(b.dados.Usuarios->state(), EstadoDataset::Edit);
        QCOMPARE(botoesLigados(&tela), QStringLiteral("---"));
        b.caixas.responde(Botao::Sim);
        botao(&tela, "NaoConfirmar")->click();
        QCOMPARE(b.dados.Usuarios->state(), EstadoDataset::Browse);
        QCOMPARE(b.caixas.textos(), (QStringList{"Deseja Cancelar Atualização?", "Deseja Cancelar Atualização?"}));
        QCOMPARE(int(b.caixas.caixas().first().tipo), int(TipoCaixa::Confirmacao));
    }

    void excluir()
    {
        Base b;
        TCad_Usuario tela;
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {3}));
        b.caixas.responde(Botao::Sim);
        botao(&tela, "Excluir")->click();
        QCOMPARE(b.caixas.textos(), QStringList{"Excluir Registro?"});
        QCOMPARE(b.coluna("select count(*) from USUARIOS where ID = 3").toInt(), 0);
    }

    void irParaCodigo_data()
    {
        QTest::addColumn<QString>("resposta"); // "<cancel>" cancels the box
        QTest::addColumn<QStringList>("mensagens");
        QTest::addColumn<int>("mostrado");
        QTest::addColumn<int>("linhas"); // rows in the list afterwards
        QTest::newRow("existing") << "3" << QStringList() << 3 << 1;
        QTest::newRow("with spaces") << " 4 " << QStringList() << 4 << 1;
        QTest::newRow("missing") << "99" << QStringList{"Registro não Encontrado!"} << 2 << 1;
        QTest::newRow("not a number") << "abc" << QStringList{"'abc' não é um valor inteiro válido."} << 2 << 4;
        QTest::newRow("zero") << "0" << QStringList() << 2 << 4;
        QTest::newRow("blank") << "   " << QStringList() << 2 << 4;
        QTest::newRow("cancelled") << "<cancel>" << QStringList() << 2 << 4;
    }
    void irParaCodigo()
    {
        QFETCH(QString, resposta);
        QFETCH(QStringList, mensagens);
        QFETCH(int, mostrado);
        QFETCH(int, linhas);
        Base b;
        TCad_Usuario tela;
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {2}));
        b.caixas.respondeEntrada(resposta == QStringLiteral("<cancel>") ? std::nullopt
                                                                        : std::optional<QString>(resposta));
        botao(&tela, "BotaoCodigo")->click();
        QCOMPARE(b.caixas.entradas().size(), 1);
        QCOMPARE(b.caixas.entradas().first().titulo, QStringLiteral("Ir Para"));
        QCOMPARE(b.caixas.entradas().first().rotulo, QStringLiteral("Codigo..."));
        QCOMPARE(b.caixas.textos(), mensagens);
        QCOMPARE(b.dados.Usuarios->value("ID").toInt(), mostrado);
        b.dados.Usuarios->fetchAll();
        QCOMPARE(b.dados.Usuarios->recordCount(), linhas);
        QCOMPARE(filho<QLineEdit>(&tela, "w_Codigo")->text(), QString::number(mostrado));
    }

    void teclas()
    {
        Base b;
        TCad_Usuario tela;
        QVERIFY(mostra(&tela));
        auto* cpf = filho<QLineEdit>(&tela, "w_CPF");
        auto* nome = filho<QLineEdit>(&tela, "w_Nome");
        // F6 while browsing asks for a code; while changing it does nothing.
        cpf->setFocus();
        b.caixas.respondeEntrada(std::nullopt);
        QTest::keyClick(cpf, Qt::Key_F6);
        QCOMPARE(b.caixas.entradas().size(), 1);
        botao(&tela, "Alterar")->click();
        QTRY_VERIFY(nome->hasFocus());
        QTest::keyClick(nome, Qt::Key_F6);
        QCOMPARE(b.caixas.entradas().size(), 1);
        // Enter moves on, also out of the message memo, and writes nothing into it.
        cpf->setFocus();
        QTest::keyClick(cpf, Qt::Key_Return);
        QTRY_VERIFY(nome->hasFocus());
        auto* memo = filho<DBMemo>(&tela, "w_Observacao");
        memo->setFocus();
        QTest::keyClicks(memo, "Bom dia");
        QTest::keyClick(memo, Qt::Key_Return);
        QTRY_VERIFY(!memo->hasFocus());
        QCOMPARE(memo->toPlainText(), QStringLiteral("Bom dia"));
        // Focus colours: the focused box, the others, and the key box left alone.
        nome->setFocus();
        QTRY_COMPARE(nome->palette().color(QPalette::Base), QColor(0xDF, 0xEE, 0xF7));
        QCOMPARE(cpf->palette().color(QPalette::Base), QColor(0xE2, 0xE2, 0xC5));
        auto* codigo = filho<QLineEdit>(&tela, "w_Codigo");
        QCOMPARE(TelaCadastro::marca(codigo), 10);
        QCOMPARE(codigo->palette().color(QPalette::Base), codigo->palette().color(QPalette::ToolTipBase));
    }

    void listaDeAcessos()
    {
        Base b;
        TCad_Usuario tela;
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {2}));
        Dataset* lista = tela.listaAcessos();
        QVERIFY(!lista->active());
        auto* abas = filho<QTabWidget>(&tela, "PageControl");
        abas->setCurrentIndex(1);
        QVERIFY(lista->active());
        auto versoes = [lista] {
            QStringList v;
            lista->fetchAll();
            for (int i = 0; i < lista->recordCount(); ++i) {
                lista->moveTo(i);
                v << lista->value("VERSAO").toString();
            }
            return v;
        };
        QCOMPARE(versoes(), (QStringList{"d", "a"})); // this system only, newest first
        botao(&tela, "Button3")->click();             // next user in name order: Bruno
        QCOMPARE(b.dados.Usuarios->value("ID").toInt(), 3);
        QCOMPARE(versoes(), QStringList{"c"});
        abas->setCurrentIndex(0);
        QVERIFY(!lista->active());
    }

    void foto()
    {
        Base b;
        TCad_Usuario tela;
        QTemporaryDir pasta;
        const QString arquivo = pasta.filePath(QStringLiteral("foto.bmp"));
        QImage img(20, 30, QImage::Format_RGB32);
        img.fill(Qt::red);
        QVERIFY(img.save(arquivo, "BMP"));
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {2}));
        b.caixas.respondeArquivo(arquivo);
        emit filho<DBImage>(&tela, "w_Foto")->duploClique();
        QCOMPARE(b.dados.Usuarios->state(), EstadoDataset::Edit);
        botao(&tela, "Confirmar")->click();
        QImage gravada;
        QVERIFY(gravada.loadFromData(b.coluna("select FOTO from USUARIOS where ID = 2").toByteArray()));
        QCOMPARE(gravada.size(), QSize(20, 30));
    }

    void mapaECep()
    {
        Base b;
        b.db.exec(QStringLiteral("update USUARIOS set UF = 5, ENDERECO = 'RUA A ' where ID = 2"));
        b.dados.Usuarios->close();
        b.dados.Usuarios->open();
        QStringList abertos;
        defineAbridorEnderecos([&abertos](const QString& e) {
            abertos << e;
            return true;
        });
        TCad_Usuario tela;
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {2}));
        botao(&tela, "BotaoMapa")->click();
        botao(&tela, "BotaoCep")->click();
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {1})); // city "A DEFINIR": not on the map
        botao(&tela, "BotaoMapa")->click();
        defineAbridorEnderecos({});
        QCOMPARE(abertos.size(), 2);
        QVERIFY2(abertos[0].endsWith(QStringLiteral("/mapas/busca.asp?uf=BA&cidade=SALVADOR&rua=RUA A")),
                 qPrintable(abertos[0]));
        QVERIFY2(abertos[1].endsWith(QStringLiteral("/servicos/cep/cep_default.cfm")), qPrintable(abertos[1]));
        QCOMPARE(b.caixas.textos(), QStringList{"Cidade ainda não Disponível"});
    }

    // What only the administrator may change on the administrator's row (user 1): its password and
    // its mobile number (a recovered password goes there). An operator with the right to change
    // finds the boxes read-only, and a save that would change them anyway is refused whole.
    // Blocking or cancelling the administrator is refused to everyone, the administrator included.
    // Other users' rows are not held back; unblocking the administrator stays open.
    void linhaDoAdministrador_data()
    {
        QTest::addColumn<QString>("usuario"); // logged in
        QTest::addColumn<int>("id");          // the row changed
        QTest::addColumn<QString>("acao");
        QTest::addColumn<QString>("coluna");
        QTest::addColumn<QString>("guardado"); // the column afterwards
        QTest::addColumn<QString>("mensagem"); // empty: the save goes through
        const QString senha = QStringLiteral("Somente o administrador pode alterar a senha do administrador.");
        const QString celular = QStringLiteral("Somente o administrador pode alterar o celular do administrador.");
        const QString estado = QStringLiteral(
            "O administrador do sistema (usuário 1) não pode ser bloqueado nem cancelado: deixe-o Ativo.");
        QTest::newRow("operator types a password") << "2" << 1 << "digita senha"
                                                   << "SENHA"
                                                   << "Comedal@1"
                                                   << "";
        QTest::newRow("operator, box made writable") << "2" << 1 << "força senha"
                                                     << "SENHA"
                                                     << "Comedal@1" << senha;
        QTest::newRow("operator, field set") << "2" << 1 << "campo SENHA"
                                             << "SENHA"
                                             << "Comedal@1" << senha;
        QTest::newRow("operator types a mobile") << "2" << 1 << "digita celular"
                                                 << "CELULAR"
                                                 << ""
                                                 << "";
        QTest::newRow("operator, mobile set") << "2" << 1 << "campo CELULAR"
                                              << "CELULAR"
                                              << "" << celular;
        QTest::newRow("operator blocks") << "2" << 1 << "bloqueia"
                                         << "ATIVO"
                                         << "S" << estado;
        QTest::newRow("operator cancels") << "2" << 1 << "cancela"
                                          << "ATIVO"
                                          << "S" << estado;
        QTest::newRow("administrator blocks itself") << "1" << 1 << "bloqueia"
                                                     << "ATIVO"
                                                     << "S" << estado;
        QTest::newRow("administrator cancels itself") << "1" << 1 << "cancela"
                                                      << "ATIVO"
                                                      << "S" << estado;
        QTest::newRow("operator unblocks") << "2" << 1 << "desbloqueia"
                                           << "ATIVO"
                                           << "S"
                                           << "";
        QTest::newRow("administrator's own password") << "1" << 1 << "digita senha"
                                                      << "SENHA"
                                                      << "Tomada@1"
                                                      << "";
        QTest::newRow("administrator's own mobile") << "1" << 1 << "digita celular"
                                                    << "CELULAR"
                                                    << "71999998888"
                                                    << "";
        QTest::newRow("operator, another user's password") << "2" << 3 << "digita senha"
                                                           << "SENHA"
                                                           << "Tomada@1"
                                                           << "";
        QTest::newRow("operator blocks another user") << "2" << 3 << "bloqueia"
                                                      << "ATIVO"
                                                      << "B"
                                                      << "";
    }
    void linhaDoAdministrador()
    {
        QFETCH(QString, usuario);
        QFETCH(int, id);
        QFETCH(QString, acao);
        QFETCH(QString, coluna);
        QFETCH(QString, guardado);
        QFETCH(QString, mensagem);
        Base b(usuario);
        if (acao == QStringLiteral("desbloqueia")) {
            b.db.exec(QStringLiteral("update USUARIOS set ATIVO = 'B' where ID = 1"));
            b.dados.Usuarios->close();
            b.dados.Usuarios->open();
        }
        b.direitos(2, "Usuários", "N", "S", "N");
        SelecionaAcessos(usuario.toInt());
        TCad_Usuario tela;
        QVERIFY(mostra(&tela));
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {id}));
        const QString apelido =
            b.coluna(QStringLiteral("select APELIDO from USUARIOS where ID = %1").arg(id)).toString();
        botao(&tela, "Alterar")->click();
        QCOMPARE(b.dados.Usuarios->state(), EstadoDataset::Edit);
        const bool soLeitura = usuario != QStringLiteral("1") && id == 1;
        auto* w_Senha = filho<QLineEdit>(&tela, "w_Senha");
        const bool senhaSoLeitura = w_Senha->isReadOnly();
        const bool celularSoLeitura = filho<QLineEdit>(&tela, "w_Celular")->isReadOnly();
        digita(&tela, "w_Apelido", QStringLiteral("CHEFE"));
        if (acao == QStringLiteral("força senha")) w_Senha->setReadOnly(false);
        if (acao.endsWith(QStringLiteral(" senha"))) {
            w_Senha->setFocus();
            w_Senha->selectAll();
            QTest::keyClicks(w_Senha, QStringLiteral("Tomada@1"));
        }
        if (acao == QStringLiteral("campo SENHA"))
            b.dados.Usuarios->field("SENHA").setValue(QStringLiteral("Tomada@1"));
        if (acao == QStringLiteral("digita celular")) digita(&tela, "w_Celular", QStringLiteral("71999998888"));
        if (acao == QStringLiteral("campo CELULAR"))
            b.dados.Usuarios->field("CELULAR").setValue(QStringLiteral("71999998888"));
        const int item = acao == QStringLiteral("bloqueia") ? 1 : acao == QStringLiteral("cancela") ? 2 : 0;
        if (acao == QStringLiteral("bloqueia") || acao == QStringLiteral("cancela") ||
            acao == QStringLiteral("desbloqueia"))
            filho<DBRadioGroup>(&tela, "w_Ativo")->botao(item)->click();
        botao(&tela, "Confirmar")->click();

        QCOMPARE(b.caixas.textos(), mensagem.isEmpty() ? QStringList() : QStringList{mensagem});
        const QString onde = QStringLiteral(" from USUARIOS where ID = %1").arg(id);
        QCOMPARE(b.coluna(QStringLiteral("select ") + coluna + onde).toString().trimmed(), guardado);
        // A refused save stores nothing and stays in change; an accepted one stores everything.
        QCOMPARE(b.coluna(QStringLiteral("select APELIDO") + onde).toString(),
                 mensagem.isEmpty() ? QStringLiteral("CHEFE") : apelido);
        QCOMPARE(b.dados.Usuarios->state(), mensagem.isEmpty() ? EstadoDataset::Browse : EstadoDataset::Edit);
        QCOMPARE(senhaSoLeitura, soLeitura);
        QCOMPARE(celularSoLeitura, soLeitura);
    }

    void excluirAdministrador_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QStringList>("mensagens");
        QTest::addColumn<int>("restam");
        // Nobody deletes the administrator, the administrator included.
        const QStringList recusa{"O administrador do sistema (usuário 1) não pode ser excluído."};
        QTest::newRow("operator") << "2" << recusa << 1;
        QTest::newRow("administrator") << "1" << recusa << 1;
    }
    void excluirAdministrador()
    {
        QFETCH(QString, usuario);
        QFETCH(QStringList, mensagens);
        QFETCH(int, restam);
        Base b(usuario);
        b.direitos(2, "Usuários", "N", "N", "S");
        SelecionaAcessos(usuario.toInt());
        TCad_Usuario tela;
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {1}));
        QVERIFY(botao(&tela, "Excluir")->isEnabled());
        botao(&tela, "Excluir")->click();
        QCOMPARE(b.caixas.textos(), mensagens);
        QCOMPARE(b.coluna("select count(*) from USUARIOS where ID = 1").toInt(), restam);
    }

    void fotoSemDireitoDeAlterar()
    {
        Base b(QStringLiteral("2"));
        b.direitos(2, "Usuários", "S", "N", "N");
        SelecionaAcessos(2);
        TCad_Usuario tela;
        emit filho<DBImage>(&tela, "w_Foto")->duploClique();
        QCOMPARE(b.caixas.arquivosPedidos().size(), 0);
        QCOMPARE(b.dados.Usuarios->state(), EstadoDataset::Browse);
    }
};

QTEST_MAIN(UserRegistry)
#include "gui_usuarios.moc"
