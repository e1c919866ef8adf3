// The password windows against a real database: the change window's checks and its write to the
// logged-in user's row, and the recovery window's identification, attempts, and delivery through
// a gateway answered by a local test server (127.0.0.1), with the password kept only when the
// gateway accepted the message.
#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/sessao.h"
#include "data/arquivos.h"
#include "telas.h"
#include "testdb.h"
#include "users/gatewaywhatsapp.h"
#include "users/senhas.h"
#include "users/xAlteraSenha.h"
#include "users/xRecuperaSenha.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

// A stand-in for the messaging gateway: records each request and answers with the given status.
class GatewayTeste : public QTcpServer
{
public:
    struct Pedido
    {
        QByteArray metodo, caminho, corpo;
        QMap<QByteArray, QByteArray> cabecalhos;
    };
    int status = 200;
    QByteArray resposta = "{\"status\":\"enviado\"}";
    QList<Pedido> pedidos;
    // Runs when a request has arrived, before it is answered: while the program waits for it.
    std::function<void()> aoReceber;

    GatewayTeste()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                auto* recebido = new QByteArray;
                connect(s, &QTcpSocket::disconnected, s, [s, recebido] {
                    delete recebido;
                    s->deleteLater();
                });
                connect(s, &QTcpSocket::readyRead, s, [this, s, recebido] {
                    recebido->append(s->readAll());
                    const int fim = int(recebido->indexOf("\r\n\r\n"));
                    if (fim < 0) return;
                    Pedido p;
                    const QList<QByteArray> linhas = recebido->left(fim).split('\n');
                    const QList<QByteArray> primeira = linhas.value(0).trimmed().split(' ');
                    p.metodo = primeira.value(0);
                    p.caminho = primeira.value(1);
                    for (int i = 1; i < linhas.size(); ++i) {
                        const int dp = int(linhas[i].indexOf(':'));
                        if (dp > 0)
                            p.cabecalhos.insert(linhas[i].left(dp).trimmed().toLower(),
                                                linhas[i].mid(dp + 1).trimmed());
                    }
                    const int tamanho = p.cabecalhos.value("content-length").toInt();
                    if (recebido->size() < fim + 4 + tamanho) return;
                    p.corpo = recebido->mid(fim + 4, tamanho);
                    pedidos << p;
                    recebido->clear();
                    if (aoReceber) aoReceber();
                    s->write("HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: application/json\r\n" +
                             "Content-Length: " + QByteArray::number(resposta.size()) +
                             "\r\nConnection: close\r\n\r\n" + resposta);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/enviar").arg(serverPort()); }
};

struct Base
{
    TestDatabase db;
    TDados dados{db.settings()};
    DialogosRoteirizados caixas;
    Dialogos* anterior = defineDialogos(&caixas);

    Base()
    {
        parametros().limpa();
        sessao().UsuarioEmUso = QStringLiteral("2");
        sessao().NomeAplicativo = QStringLiteral("COMEDAL");
        // Users 2 (Ana), 3 (Bruno, no mobile), 4 (Carla, cancelled).
        db.exec(QStringLiteral(
            "insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA, CELULAR) "
            "values ('ANA', 'Velha1', 'SALVADOR', 'CENTRO', '12345678909', '1980-03-12', 'S', 'S', '71988887777');\n"
            "insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA, CELULAR) "
            "values ('BRUNO', 'Outra22', 'SALVADOR', 'BARRA', '52998224725', '1990-07-01', 'S', 'N', NULL);\n"
            "insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA, CELULAR) "
            "values ('CARLA', 'Carla33', 'SALVADOR', 'PITUBA', '11144477735', '1985-12-31', 'N', 'N', '71977776666');\n"
            "update EMPRESAS set RAZAOSOCIAL = 'RESTAURANTE POPULAR LTDA' where ID = 1;\n"));
        dados.Usuarios->open();
    }
    ~Base() { defineDialogos(anterior); }

    QVariant coluna(const QString& sql) const { return db.valor(sql); }
    QString senhaDe(int id) const
    {
        return coluna(QStringLiteral("select SENHA from USUARIOS where ID = %1").arg(id)).toString();
    }
    QString solicitaDe(int id) const
    {
        return coluna(QStringLiteral("select SOLICITASENHA from USUARIOS where ID = %1").arg(id)).toString();
    }
};

// Another workstation changes Ana's row and gives the change up again; false when the row is held.
bool outraEstacaoAlteraAna(const TestDatabase& db)
{
    fb::Attachment att = db.attach();
    fb::Transaction tra(att);
    try {
        fb::Statement st(att, tra, QStringLiteral("update USUARIOS set APELIDO = 'OUTRA' where ID = 2"));
        st.execute();
    } catch (const fb::Error& e) {
        if (e.isLockConflict()) return false;
        throw;
    }
    tra.rollback();
    return true;
}

void digita(QWidget* janela, const char* caixa, const QString& texto)
{
    auto* e = filho<QLineEdit>(janela, caixa);
    e->clear();
    QTest::keyClicks(e, texto);
}

} // namespace

class PasswordWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // ------------------------------------------------------------ change window

    void alteracao_data()
    {
        QTest::addColumn<QString>("guardada"); // "<null>" for no password
        QTest::addColumn<QString>("antiga");
        QTest::addColumn<QString>("nova");
        QTest::addColumn<QString>("confirmacao");
        QTest::addColumn<QString>("mensagem"); // empty: accepted
        QTest::newRow("three characters") << "Velha1"
                                          << "Velha1"
                                          << "abc"
                                          << "abc"
                                          << "Comprimento de Senha minimo = 4 caracteres";
        QTest::newRow("four characters") << "Velha1"
                                         << "Velha1"
                                         << "abcd"
                                         << "abcd"
                                         << "";
        QTest::newRow("old in other case") << "Velha1"
                                           << "velha1"
                                           << "Nova1234"
                                           << "Nova1234"
                                           << "Senha antiga não confere.";
        QTest::newRow("wrong old") << "Velha1"
                                   << "Velha2"
                                   << "Nova1234"
                                   << "Nova1234"
                                   << "Senha antiga não confere.";
        QTest::newRow("mismatch") << "Velha1"
                                  << "Velha1"
                                  << "Nova1234"
                                  << "Nova1235"
                                  << "Senhas não coincidem.";
        QTest::newRow("short beats wrong old") << "Velha1"
                                               << "x"
                                               << "ab"
                                               << "ab"
                                               << "Comprimento de Senha minimo = 4 caracteres";
        QTest::newRow("no stored password, empty old") << "<null>"
                                                       << ""
                                                       << "Nova1234"
                                                       << "Nova1234"
                                                       << "";
        QTest::newRow("no stored password, typed old") << "<null>"
                                                       << "x"
                                                       << "Nova1234"
                                                       << "Nova1234"
                                                       << "Senha antiga não confere.";
    }
    void alteracao()
    {
        QFETCH(QString, guardada);
        QFETCH(QString, antiga);
        QFETCH(QString, nova);
        QFETCH(QString, confirmacao);
        QFETCH(QString, mensagem);
        Base b;
        if (guardada == QStringLiteral("<null>"))
            b.db.exec(QStringLiteral("update USUARIOS set SENHA = NULL where ID = 2"));
        TAlteraSenha janela;
        janela.show();
        digita(&janela, "w_SenhaAntiga", antiga);
        digita(&janela, "w_NovaSenha", nova);
        digita(&janela, "w_ConfirmaSenha", confirmacao);
        filho<QPushButton>(&janela, "Alterar")->click();
        if (mensagem.isEmpty()) {
            QCOMPARE(b.caixas.textos(), QStringList());
            QCOMPARE(b.senhaDe(2), nova);
            QCOMPARE(b.solicitaDe(2), QStringLiteral("N"));
            QVERIFY(janela.alterada());
            QVERIFY(!janela.isVisible());
        } else {
            QCOMPARE(b.caixas.textos(), QStringList{mensagem});
            QCOMPARE(b.senhaDe(2), guardada == QStringLiteral("<null>") ? QString() : guardada);
            QCOMPARE(b.solicitaDe(2), QStringLiteral("S"));
            QVERIFY(janela.isVisible());
            const TipoCaixa tipo =
                mensagem.startsWith(QStringLiteral("Comprimento")) ? TipoCaixa::Simples : TipoCaixa::Erro;
            QCOMPARE(int(b.caixas.caixas().first().tipo), int(tipo));
        }
    }

    void alteracaoVaiAoUsuarioConectadoOndeQuerQueAListaEsteja()
    {
        Base b;
        // Another screen moved the shared list to Bruno meanwhile.
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {3}));
        TAlteraSenha janela;
        janela.show();
        digita(&janela, "w_SenhaAntiga", "Velha1");
        digita(&janela, "w_NovaSenha", "Nova@2024");
        digita(&janela, "w_ConfirmaSenha", "Nova@2024");
        QVERIFY(janela.AlterarClick());
        QCOMPARE(b.senhaDe(2), QStringLiteral("Nova@2024"));
        QCOMPARE(b.senhaDe(3), QStringLiteral("Outra22"));
        QCOMPARE(b.solicitaDe(3), QStringLiteral("N"));
        // The list stays on Bruno and shows what the database holds.
        QCOMPARE(b.dados.Usuarios->value("ID").toInt(), 3);
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {2}));
        QCOMPARE(b.dados.Usuarios->value("SENHA").toString(), QStringLiteral("Nova@2024"));
        QCOMPARE(b.dados.Usuarios->value("SOLICITASENHA").toString(), QStringLiteral("N"));
    }

    void alteracaoComCadastroEmEdicaoNaoPerdeNada()
    {
        Base b;
        b.dados.Usuarios->edit(); // the registry is writing a user
        TAlteraSenha janela;
        janela.show();
        digita(&janela, "w_SenhaAntiga", "Velha1");
        digita(&janela, "w_NovaSenha", "Nova1234");
        digita(&janela, "w_ConfirmaSenha", "Nova1234");
        filho<QPushButton>(&janela, "Alterar")->click();
        QCOMPARE(b.caixas.caixas().size(), 1);
        QVERIFY(b.caixas.textos().first().startsWith(QStringLiteral("Conclua ou cancele")));
        QCOMPARE(b.senhaDe(2), QStringLiteral("Velha1"));
        QVERIFY(b.dados.Usuarios->isEditing());
        QVERIFY(janela.isVisible());
    }

    void janelaSoFechaDepoisDaTroca()
    {
        Base b;
        TAlteraSenha janela;
        QCOMPARE(janela.windowTitle(), QStringLiteral("   Alterar Senha"));
        QVERIFY(janela.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(janela.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(janela.windowFlags() & Qt::WindowMinimizeButtonHint));
        janela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&janela));
        QVERIFY(!filho<QPushButton>(&janela, "Cancela")->isVisible());
        QTest::keyClick(&janela, Qt::Key_Escape);
        QVERIFY(!janela.close());
        QVERIFY(janela.isVisible());
        for (const char* nome : {"w_SenhaAntiga", "w_NovaSenha", "w_ConfirmaSenha"})
            QCOMPARE(filho<QLineEdit>(&janela, nome)->echoMode(), QLineEdit::Password);
    }

    void corDaConfirmacao()
    {
        Base b;
        TAlteraSenha janela;
        auto* confirma = filho<QLineEdit>(&janela, "w_ConfirmaSenha");
        digita(&janela, "w_NovaSenha", "abcd");
        QTest::keyClicks(confirma, "abc");
        QCOMPARE(confirma->palette().color(QPalette::Text), QColor(0xFF, 0, 0));
        QTest::keyClicks(confirma, "x"); // same length, other text: only lengths are compared
        QCOMPARE(confirma->palette().color(QPalette::Text), QColor(Qt::black));
        QTest::keyClicks(confirma, "y");
        QCOMPARE(confirma->palette().color(QPalette::Text), QColor(0xFF, 0, 0));
    }

    // ------------------------------------------------------------ recovery window

    void tresFalhasEncerram()
    {
        Base b;
        TRecuperarSenha janela;
        int encerrou = 0;
        janela.encerraAplicacao = [&] { ++encerrou; };
        janela.show();
        QCOMPARE(janela.contador, 3);
        QStringList esperadas;
        for (int restantes : {2, 1, 0}) {
            digita(&janela, "w_CPF", "12345678909");
            digita(&janela, "w_Nascimento", "01011999"); // Ana's CPF, another birth date
            QCOMPARE(encerrou, 0);
            filho<QPushButton>(&janela, "Recuperar")->click();
            QCOMPARE(janela.contador, restantes);
            esperadas << QStringLiteral("Usuário não identificado no nosso sistema\nVocê tem mais %1 tentativas")
                             .arg(restantes);
        }
        QCOMPARE(b.caixas.textos(), esperadas);
        QCOMPARE(int(b.caixas.caixas().first().tipo), int(TipoCaixa::Aviso));
        QCOMPARE(encerrou, 1);
        QCOMPARE(b.senhaDe(2), QStringLiteral("Velha1"));
    }

    void ativacaoDevolveAsTentativas()
    {
        Base b;
        TRecuperarSenha janela;
        janela.encerraAplicacao = [] { QFAIL("ended"); };
        janela.show();
        digita(&janela, "w_CPF", "52998224725");
        digita(&janela, "w_Nascimento", "02071990");
        filho<QPushButton>(&janela, "Recuperar")->click();
        QCOMPARE(janela.contador, 2);
        janela.FormActivate();
        QCOMPARE(janela.contador, 3);
        for (const char* nome : {"w_CPF", "w_Nascimento"})
            QVERIFY(filho<QLineEdit>(&janela, nome)->text().remove(QRegularExpression("[^0-9]")).isEmpty());
    }

    void camposObrigatorios_data()
    {
        QTest::addColumn<QString>("cpf");
        QTest::addColumn<QString>("nascimento");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("no CPF") << ""
                                << "12031980"
                                << "Obrigatório preenchimento de CPF";
        QTest::newRow("no birth date") << "12345678909"
                                       << ""
                                       << "Obrigatório preenchimento da Data de Nascimento";
        QTest::newRow("CPF too short") << "1234567890"
                                       << "12031980"
                                       << "AtençãoDeve-se Digitar CPF Valido\nsem ., / ou - ";
        QTest::newRow("CPF check digits") << "12345678900"
                                          << "12031980"
                                          << "Número de C.P.F. Invalido.";
        QTest::newRow("impossible date") << "12345678909"
                                         << "31021980"
                                         << "Data de Nascimento inválida.";
    }
    void camposObrigatorios()
    {
        QFETCH(QString, cpf);
        QFETCH(QString, nascimento);
        QFETCH(QString, mensagem);
        Base b;
        TRecuperarSenha janela;
        janela.encerraAplicacao = [] { QFAIL("ended"); };
        janela.show();
        digita(&janela, "w_CPF", cpf);
        digita(&janela, "w_Nascimento", nascimento);
        janela.RecuperarClick();
        QCOMPARE(b.caixas.textos(), QStringList{mensagem});
        QCOMPARE(janela.contador, 3); // no attempt used
        QCOMPARE(b.senhaDe(2), QStringLiteral("Velha1"));
    }

    void cpfConferidoAoSairDaCaixa()
    {
        Base b;
        TRecuperarSenha janela;
        janela.show();
        janela.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&janela));
        auto* cpf = filho<QLineEdit>(&janela, "w_CPF");
        auto* nascimento = filho<QLineEdit>(&janela, "w_Nascimento");
        cpf->setFocus();
        QTest::keyClicks(cpf, "123456");
        QTest::keyClick(cpf, Qt::Key_Tab);
        QTRY_VERIFY(cpf->hasFocus());
        QCOMPARE(b.caixas.textos(), QStringList{"AtençãoDeve-se Digitar CPF Valido\nsem ., / ou - "});
        cpf->clear();
        QTest::keyClicks(cpf, "12345678909");
        QTest::keyClick(cpf, Qt::Key_Tab);
        QTRY_VERIFY(nascimento->hasFocus());
        QCOMPARE(b.caixas.textos().size(), 1);
    }

    void usuarioCanceladoNaoEhEncontrado()
    {
        Base b;
        GatewayTeste gateway;
        parametros().VetorConfig = {"tokenwhatappgw", "urlwhatappgw"};
        parametros().VetorConfigVal = {"TOKEN-XYZ", gateway.url()};
        TRecuperarSenha janela;
        janela.show();
        digita(&janela, "w_CPF", "11144477735");
        digita(&janela, "w_Nascimento", "31121985");
        janela.RecuperarClick();
        QCOMPARE(b.caixas.textos(), QStringList{"Usuário não Encontrado!"});
        QCOMPARE(int(b.caixas.caixas().first().tipo), int(TipoCaixa::Erro));
        QCOMPARE(janela.contador, 3);
        QCOMPARE(b.senhaDe(4), QStringLiteral("Carla33"));
        QVERIFY(gateway.pedidos.isEmpty());
    }

    void recuperacaoEnviaEExigeTroca()
    {
        Base b;
        GatewayTeste gateway;
        parametros().VetorConfig = {"tokenwhatappgw", "urlwhatappgw"};
        parametros().VetorConfigVal = {"TOKEN-XYZ", gateway.url()};
        b.db.exec(QStringLiteral("update USUARIOS set SOLICITASENHA = 'N' where ID = 2"));
        TRecuperarSenha janela;
        janela.encerraAplicacao = [] { QFAIL("ended"); };
        janela.show();
        digita(&janela, "w_CPF", "12345678909");
        digita(&janela, "w_Nascimento", "12031980");
        filho<QPushButton>(&janela, "Recuperar")->click();

        QCOMPARE(b.caixas.textos(), QStringList{"Foi enviado para seu Whatsapp sua nova senha temporária."});
        QCOMPARE(int(b.caixas.caixas().first().tipo), int(TipoCaixa::Informacao));
        QVERIFY(!janela.isVisible());
        const QString temporaria = b.senhaDe(2);
        QCOMPARE(temporaria.size(), 8);
        QVERIFY(temporaria != QStringLiteral("Velha1"));
        QCOMPARE(b.solicitaDe(2), QStringLiteral("S"));

        QCOMPARE(gateway.pedidos.size(), 1);
        const GatewayTeste::Pedido& p = gateway.pedidos.first();
        QCOMPARE(p.metodo, QByteArray("POST"));
        QCOMPARE(p.caminho, QByteArray("/enviar"));
        QVERIFY(p.cabecalhos.value("content-type").startsWith("application/json"));
        const QJsonObject o = QJsonDocument::fromJson(p.corpo).object();
        QCOMPARE(o.value("token").toString(), QStringLiteral("TOKEN-XYZ"));
        QCOMPARE(o.value("numero").toString(), QStringLiteral("71988887777"));
        QCOMPARE(
            o.value("mensagem").toString(),
            QStringLiteral("Você acabou de receber a seguinte senha ") + temporaria +
                QStringLiteral(" , para ser utilizada no sistema  COMEDAL da empresa RESTAURANTE POPULAR LTDA pelo "
                               "motivo de solicitação de recuperação de senha"));

        // The next login's change window takes the temporary password as the old one.
        TAlteraSenha troca;
        digita(&troca, "w_SenhaAntiga", temporaria);
        digita(&troca, "w_NovaSenha", "Minha#Nova9");
        digita(&troca, "w_ConfirmaSenha", "Minha#Nova9");
        QVERIFY(troca.AlterarClick());
        QCOMPARE(b.senhaDe(2), QStringLiteral("Minha#Nova9"));
        QCOMPARE(b.solicitaDe(2), QStringLiteral("N"));
    }

    void semEnvioASenhaFica_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("gateway down") << "fora"
                                      << "falha de comunicação com o gateway";
        QTest::newRow("gateway refuses") << "500"
                                         << "o gateway recusou a mensagem (HTTP 500: número bloqueado)";
        QTest::newRow("gateway says error") << "erro"
                                            << "o gateway recusou a mensagem: token inválido";
        QTest::newRow("plain http to another machine") << "http"
                                                       << "não é seguro: use https";
        QTest::newRow("no endpoint configured") << "sem url"
                                                << "urlwhatappgw";
        QTest::newRow("no mobile number") << "sem celular"
                                          << "não há celular no seu cadastro";
    }
    void semEnvioASenhaFica()
    {
        QFETCH(QString, caso);
        QFETCH(QString, motivo);
        Base b;
        GatewayTeste gateway;
        QString url = gateway.url();
        if (caso == QStringLiteral("fora")) gateway.close(); // nobody listens on that port any more
        if (caso == QStringLiteral("500")) {
            gateway.status = 500;
            gateway.resposta = "{\"erro\":\"número bloqueado\"}";
        }
        if (caso == QStringLiteral("erro")) gateway.resposta = "{\"erro\":\"token inválido\"}";
        if (caso == QStringLiteral("sem url")) url.clear();
        if (caso == QStringLiteral("http")) url = QStringLiteral("http://gateway.exemplo.com.br/enviar");
        parametros().VetorConfig = {"tokenwhatappgw", "urlwhatappgw"};
        parametros().VetorConfigVal = {"TOKEN-XYZ", url};
        const bool semCelular = caso == QStringLiteral("sem celular");

        TRecuperarSenha janela;
        janela.show();
        digita(&janela, "w_CPF", semCelular ? "52998224725" : "12345678909");
        digita(&janela, "w_Nascimento", semCelular ? "01071990" : "12031980");
        janela.RecuperarClick();

        const int id = semCelular ? 3 : 2;
        QCOMPARE(b.senhaDe(id), semCelular ? QStringLiteral("Outra22") : QStringLiteral("Velha1"));
        QCOMPARE(b.solicitaDe(id), semCelular ? QStringLiteral("N") : QStringLiteral("S"));
        QCOMPARE(b.caixas.caixas().size(), 1);
        QCOMPARE(int(b.caixas.caixas().first().tipo), int(TipoCaixa::Erro));
        const QString texto = b.caixas.textos().first();
        QVERIFY2(texto.contains(motivo), qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("Sua senha não foi alterada.")), qPrintable(texto));
        QVERIFY(!texto.contains(QStringLiteral("Foi enviado")));
        QVERIFY(janela.isVisible());
        QCOMPARE(janela.contador, 3);
        if (semCelular) QVERIFY(gateway.pedidos.isEmpty());
    }

    void enderecoDoGateway_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("recusa"); // part of the refusal; empty: accepted
        QTest::newRow("https") << "https://gw.exemplo.com.br/enviar"
                               << "";
        QTest::newRow("http, loopback") << "http://127.0.0.1:8080/enviar"
                                        << "";
        QTest::newRow("http, localhost") << "http://localhost/enviar"
                                         << "";
        QTest::newRow("http, IPv6 loopback") << "http://[::1]:8080/enviar"
                                             << "";
        QTest::newRow("http, another machine") << "http://192.168.0.10/enviar"
                                               << "não é seguro";
        QTest::newRow("http, a name like loopback") << "http://127.0.0.1.exemplo.com/enviar"
                                                    << "não é seguro";
        QTest::newRow("ftp") << "ftp://gw.exemplo.com.br/"
                             << "não é válido";
        QTest::newRow("no host") << "https:///enviar"
                                 << "não é válido";
    }
    void enderecoDoGateway()
    {
        QFETCH(QString, url);
        QFETCH(QString, recusa);
        const QString r = GatewayWhatsApp::recusaEndereco(QUrl(url));
        if (recusa.isEmpty())
            QVERIFY2(r.isEmpty(), qPrintable(r));
        else
            QVERIFY2(r.contains(recusa), qPrintable(r));
    }

    // Another workstation holds Ana's row (a change not committed yet): nothing goes out, as the
    // password could not be stored; once the row is free, trying again delivers and stores it.
    void linhaPresaEmOutraEstacaoNadaEnvia()
    {
        Base b;
        GatewayTeste gateway;
        parametros().VetorConfig = {"tokenwhatappgw", "urlwhatappgw"};
        parametros().VetorConfigVal = {"TOKEN-XYZ", gateway.url()};
        b.db.exec(QStringLiteral("update USUARIOS set SOLICITASENHA = 'N' where ID = 2"));
        TRecuperarSenha janela;
        janela.encerraAplicacao = [] { QFAIL("ended"); };
        janela.show();
        {
            fb::Attachment att = b.db.attach();
            fb::Transaction tra(att);
            fb::Statement st(att, tra, QStringLiteral("update USUARIOS set APELIDO = 'ANINHA' where ID = 2"));
            st.execute();
            digita(&janela, "w_CPF", "12345678909");
            digita(&janela, "w_Nascimento", "12031980");
            filho<QPushButton>(&janela, "Recuperar")->click();

            QCOMPARE(b.caixas.caixas().size(), 1);
            QCOMPARE(int(b.caixas.caixas().first().tipo), int(TipoCaixa::Erro));
            const QString texto = b.caixas.textos().first();
            QVERIFY2(texto.startsWith(QStringLiteral(
                         "O registro está sendo alterado em outra estação; tente de novo ou cancele.\n")),
                     qPrintable(texto));
            QVERIFY(gateway.pedidos.isEmpty());
            QCOMPARE(b.senhaDe(2), QStringLiteral("Velha1"));
            QCOMPARE(b.solicitaDe(2), QStringLiteral("N"));
            QVERIFY(janela.isVisible());
            QCOMPARE(janela.contador, 3);
            tra.rollback();
        }
        digita(&janela, "w_CPF", "12345678909");
        digita(&janela, "w_Nascimento", "12031980");
        filho<QPushButton>(&janela, "Recuperar")->click();
        QCOMPARE(b.caixas.textos().mid(1), QStringList{"Foi enviado para seu Whatsapp sua nova senha temporária."});
        QCOMPARE(gateway.pedidos.size(), 1);
        const QString temporaria = b.senhaDe(2);
        QVERIFY(temporaria != QStringLiteral("Velha1"));
        QVERIFY(QJsonDocument::fromJson(gateway.pedidos.first().corpo)
                    .object()
                    .value("mensagem")
                    .toString()
                    .contains(QStringLiteral(" senha ") + temporaria + QStringLiteral(" , ")));
        QCOMPARE(b.solicitaDe(2), QStringLiteral("S"));
    }

    // While the gateway is asked nobody else can change the row, so the password it delivers is
    // the one stored; when it refuses, nothing is stored and the row is free again at once.
    void linhaPresaDuranteOEnvio_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("resposta");
        QTest::addColumn<bool>("aceita");
        QTest::newRow("accepted") << 200 << QByteArray("{}") << true;
        QTest::newRow("refused") << 500 << QByteArray("{\"erro\":\"número bloqueado\"}") << false;
        QTest::newRow("says error") << 200 << QByteArray("{\"erro\":\"token inválido\"}") << false;
    }
    void linhaPresaDuranteOEnvio()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, resposta);
        QFETCH(bool, aceita);
        Base b;
        GatewayTeste gateway;
        gateway.status = status;
        gateway.resposta = resposta;
        parametros().VetorConfig = {"tokenwhatappgw", "urlwhatappgw"};
        parametros().VetorConfigVal = {"TOKEN-XYZ", gateway.url()};
        int tentativas = 0;
        bool presa = false;
        gateway.aoReceber = [&] {
            ++tentativas;
            try {
                presa = !outraEstacaoAlteraAna(b.db);
            } catch (const fb::Error& e) {
                qWarning("%s", qPrintable(e.message()));
            }
        };
        TRecuperarSenha janela;
        janela.encerraAplicacao = [] { QFAIL("ended"); };
        janela.show();
        digita(&janela, "w_CPF", "12345678909");
        digita(&janela, "w_Nascimento", "12031980");
        filho<QPushButton>(&janela, "Recuperar")->click();

        QCOMPARE(tentativas, 1);
        QVERIFY(presa);
        QCOMPARE(b.caixas.caixas().size(), 1);
        if (aceita) {
            QCOMPARE(b.caixas.textos(), QStringList{"Foi enviado para seu Whatsapp sua nova senha temporária."});
            const QString temporaria = b.senhaDe(2);
            QVERIFY(temporaria != QStringLiteral("Velha1"));
            QVERIFY(QJsonDocument::fromJson(gateway.pedidos.first().corpo)
                        .object()
                        .value("mensagem")
                        .toString()
                        .contains(QStringLiteral(" senha ") + temporaria + QStringLiteral(" , ")));
        } else {
            QVERIFY2(b.caixas.textos().first().contains(QStringLiteral("Sua senha não foi alterada.")),
                     qPrintable(b.caixas.textos().first()));
            QCOMPARE(b.senhaDe(2), QStringLiteral("Velha1"));
        }
        QCOMPARE(b.solicitaDe(2), QStringLiteral("S"));
        // Not held afterwards: another workstation, and this one's registry, change the row at once.
        QVERIFY(outraEstacaoAlteraAna(b.db));
        Dataset* usuarios = b.dados.Usuarios;
        QCOMPARE(usuarios->value("ID").toInt(), 2);
        usuarios->edit();
        usuarios->field("APELIDO").setValue(QStringLiteral("ANINHA"));
        usuarios->post();
        QCOMPARE(b.coluna("select APELIDO from USUARIOS where ID = 2").toString(), QStringLiteral("ANINHA"));
        QCOMPARE(b.senhaDe(2), aceita ? usuarios->value("SENHA").toString() : QStringLiteral("Velha1"));
    }

    void gatewaySemResposta()
    {
        // A gateway that takes the connection and never answers: the wait ends at the time limit.
        QTcpServer mudo;
        QVERIFY(mudo.listen(QHostAddress::LocalHost));
        GatewayWhatsApp g(QUrl(QStringLiteral("http://127.0.0.1:%1/enviar").arg(mudo.serverPort())), 300);
        const GatewayWhatsApp::Resultado r = g.envia("T", "71988887777", "texto");
        QVERIFY(!r.enviado);
        QVERIFY2(r.motivo.contains(QStringLiteral("não respondeu")), qPrintable(r.motivo));
    }
};

QTEST_MAIN(PasswordWindows)
#include "gui_alterasenha.moc"
