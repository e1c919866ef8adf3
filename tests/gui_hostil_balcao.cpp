// Hostile operator input at the counter: the login window's code and password boxes and the meal
// screen's boxes and "Ir Para". A password made of quotes, a statement, accents or an emoji logs
// in when typed exactly and not otherwise; the meal's note is stored and shown back unchanged;
// the CPF, date and time boxes store valid values or refuse with the screen's own message; no
// server message reaches the operator and no other row changes.
#include "app/xSenha.h"
#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/sessao.h"
#include "data/arquivos.h"
#include "testdb.h"
#include "textohostil.h"
#include "weighing/xPessagem.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include <memory>

namespace {

const QDateTime MOMENTO(QDate(2026, 3, 14), QTime(11, 42, 7));
const QString CPF_MARIA = QStringLiteral("12345678909");

// The login window over a database where ANA's password is the given text, beside other users.
struct Login
{
    TestDatabase db;
    std::unique_ptr<TDados> dados;
    std::unique_ptr<TSenha> janela;
    int encerrou = 0;
    bool ativa = false;
    QString ana;

    explicit Login(const QString& senha)
    {
        fb::Attachment att = db.attach();
        fb::Transaction tra(att);
        for (const QString& nome : {QStringLiteral("ANA"), QStringLiteral("BRUNO")}) {
            fb::Statement s(att, tra,
                            QStringLiteral("insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, "
                                           "EXPIRA, HORAINICIO, HORAFIM) values (:NOME, :SENHA, 'X', 'X', "
                                           "'00000000000', '1990-01-01', 'S', '2026-12-31', '00:00', '23:59')"));
            s.setParameter(QStringLiteral("NOME"), nome);
            s.setParameter(QStringLiteral("SENHA"), nome == QStringLiteral("ANA") ? senha : QStringLiteral("Bruno1"));
            s.execute();
        }
        tra.commit();
        att.detach();
        ana = db.valor(QStringLiteral("select ID from USUARIOS where NOME = 'ANA'")).toString();
        dados = std::make_unique<TDados>(db.settings());
        janela = std::make_unique<TSenha>();
        janela->encerraPrograma = [this] { ++encerrou; };
        janela->show();
        janela->activateWindow();
        ativa = QTest::qWaitForWindowActive(janela.get());
    }

    QLineEdit* caixa(const char* nome) const { return janela->findChild<QLineEdit*>(QString::fromLatin1(nome)); }
    QString usuarios() const { return hostil::impressao(db, QStringLiteral("select * from USUARIOS order by ID")); }
    bool aceito() const { return !janela->isVisible() && janela->result() == QDialog::Accepted; }

    void digitaCodigo(const QString& texto) const
    {
        hostil::entra(caixa("w_Codigo"), texto);
        QTest::keyClick(caixa("w_Codigo"), Qt::Key_Tab);
    }
    void tentaSenha(const QString& senha) const
    {
        hostil::entra(caixa("Password"), senha);
        QTest::keyClick(caixa("Password"), Qt::Key_Return);
    }
};

// The meal screen over two meals of a registered consumer; it opens on the newest, meal 2.
struct Balcao
{
    TestDatabase db;
    std::unique_ptr<TDados> dados;
    std::unique_ptr<TPessagem> tela;
    bool ativa = false;

    Balcao()
    {
        db.exec(QStringLiteral("insert into CLIENTE (NOME, MAE, SEXO, CPF) values ('MARIA', 'JOANA', 'F', '%1');\n"
                               "insert into REFEICAO (CPF, DATA, HORA, PESO, OBSERVACAO) values ('%1', "
                               "'2026-03-13', '12:00:00', 0.5, 'primeira');\n"
                               "insert into REFEICAO (CPF, DATA, HORA, PESO, OBSERVACAO) values ('%1', "
                               "'2026-03-14', '11:30:00', 0.6, 'segunda');\n")
                    .arg(CPF_MARIA));
        dados = std::make_unique<TDados>(db.settings());
        tela = std::make_unique<TPessagem>();
        ativa = hostil::mostra(tela.get(), QSize(1000, 700));
    }

    template <class T = QWidget> T* w(const char* nome) const { return hostil::filho<T>(tela.get(), nome); }
    void clica(const char* botao) const { hostil::clica(tela.get(), botao); }
    QString id() const { return w<QLineEdit>("w_ID")->text(); }
    QString estado() const { return w<QLabel>("Estado")->text(); }
    QString vizinhos() const
    {
        return hostil::impressao(db, QStringLiteral("select * from REFEICAO where ID <> 2 order by ID")) +
               hostil::impressao(db, QStringLiteral("select * from CLIENTE order by ID")) +
               hostil::impressao(db, QStringLiteral("select * from USUARIOS order by ID"));
    }
    QVariant coluna(const QString& c) const
    {
        return db.valor(QStringLiteral("select %1 from REFEICAO where ID = 2").arg(c));
    }
};

} // namespace

class HostileCounterInput : public QObject
{
    Q_OBJECT

    DialogosRoteirizados caixas;

    QStringList estranhas(const QList<QRegularExpression>& proprias = {}) const
    {
        return hostil::estranhas(caixas.textos(), hostil::mensagensDeEntrada() + proprias);
    }

private Q_SLOTS:
    void init()
    {
        defineDialogos(&caixas);
        caixas.limpa();
        defineRelogio([] { return MOMENTO; });
        parametros().limpa();
        sessao().UsuarioEmUso = QStringLiteral("1");
    }
    void cleanup()
    {
        defineRelogio({});
        defineDialogos(nullptr);
    }

    // ---------------------------------------------------------------- login

    // The stored password is at most the column's 40 characters (the password rules refuse
    // longer ones); what is typed is compared with it exactly.
    void loginSenha_data() { hostil::linhas(); }
    void loginSenha()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        const QString digitada = hostil::texto(texto, medida, 40);
        const QString guardada = hostil::cabe(digitada, 40);
        Login l(guardada);
        QVERIFY(l.ativa);
        const QString antes = l.usuarios();
        l.digitaCodigo(l.ana);
        QCOMPARE(QApplication::focusWidget(), l.caixa("Password"));

        l.tentaSenha(digitada == guardada ? digitada + u'!' : digitada);
        QCOMPARE(caixas.textos(), QStringList{QStringLiteral("Senha Invalida. restam 9 vezes")});
        QVERIFY(l.janela->isVisible());

        l.tentaSenha(guardada);
        QCOMPARE(caixas.textos().size(), 1);
        QVERIFY(l.aceito());
        QCOMPARE(l.dados->Usuarios->value("ID").toString(), l.ana);
        QCOMPARE(l.encerrou, 0);
        QCOMPARE(l.usuarios(), antes);
    }

    // The code box and the name list.
    void loginCodigo_data() { hostil::linhas(); }
    void loginCodigo()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        Login l(QStringLiteral("Segredo1"));
        QVERIFY(l.ativa);
        const QString antes = l.usuarios();
        l.digitaCodigo(hostil::texto(texto, medida, 8, u'9'));
        // The name list takes typing as a search among the names only.
        hostil::digita(hostil::filho(l.janela.get(), "DBLookupComboBox1"), hostil::texto(texto, medida, 8));
        QCOMPARE(estranhas({hostil::exata(QStringLiteral("Usuário não Encontrado!"))}), QStringList());
        QVERIFY(l.janela->isVisible());
        QCOMPARE(l.janela->vezes, 0);
        QCOMPARE(l.encerrou, 0);
        QCOMPARE(l.usuarios(), antes);
    }

    // ---------------------------------------------------------------- meal screen

    void refeicaoObservacao_data() { hostil::linhas(); }
    void refeicaoObservacao()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        const QString nota = hostil::texto(texto, medida, 100);
        const QString esperada = hostil::cabe(nota, 100);
        Balcao b;
        QVERIFY(b.ativa);
        const QString vizinhos = b.vizinhos();
        QCOMPARE(b.id(), QStringLiteral("2"));
        hostil::entra(b.w("w_Observacao"), nota);
        QCOMPARE(b.estado(), QStringLiteral("Editando..."));
        b.clica("Confirmar");
        QCOMPARE(caixas.textos(), QStringList());
        QCOMPARE(b.estado(), QStringLiteral("Navegando..."));
        QCOMPARE(b.coluna(QStringLiteral("OBSERVACAO")).toString(), esperada);
        // The screen read the meal again after saving.
        QCOMPARE(b.id(), QStringLiteral("2"));
        QCOMPARE(b.w<QPlainTextEdit>("w_Observacao")->toPlainText(), esperada);
        QCOMPARE(b.coluna(QStringLiteral("CPF")).toString(), CPF_MARIA);
        QCOMPARE(b.vizinhos(), vizinhos);
    }

    void refeicaoCaixasDeDigitos_data() { hostil::linhas(); }
    void refeicaoCaixasDeDigitos()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        const struct
        {
            const char* nome;
            int digitos;
        } caixasDaTela[] = {{"w_CPF", 11}, {"w_Data", 8}, {"w_Hora", 4}};
        const QList<QRegularExpression> proprias = {
            hostil::exata(QStringLiteral("Atenção. Deve-se Digitar C.P.F. Valido sem ., / ou - ")),
            hostil::exata(QStringLiteral("Número de C.P.F. Invalido.")),
            hostil::exata(QStringLiteral("Atenção!\nNão foi encontrado nenhum cliente utilizando este C.P.F.")),
        };
        Balcao b;
        QVERIFY(b.ativa);
        const QString vizinhos = b.vizinhos();
        for (const auto& c : caixasDaTela) {
            caixas.limpa();
            hostil::entra(b.w(c.nome), hostil::texto(texto, medida, c.digitos, u'9'));
            b.w("w_Observacao")->setFocus();
            b.clica("Confirmar");
            QVERIFY2(estranhas(proprias).isEmpty(),
                     qPrintable(QString::fromLatin1(c.nome) + u':' + estranhas(proprias).join(u'|')));
            // Whatever was kept is the registered consumer, a date and a time.
            QCOMPARE(b.coluna(QStringLiteral("CPF")).toString(), CPF_MARIA);
            QVERIFY(b.coluna(QStringLiteral("DATA")).toDate().isValid());
            QVERIFY(b.coluna(QStringLiteral("HORA")).toTime().isValid());
            if (b.tela->Refeicao->isEditing()) {
                caixas.responde(Botao::Sim);
                b.clica("NaoConfirmar");
            }
            QCOMPARE(b.estado(), QStringLiteral("Navegando..."));
            QCOMPARE(b.id(), QStringLiteral("2"));
        }
        QCOMPARE(b.vizinhos(), vizinhos);
    }

    void refeicaoIrPara_data() { hostil::linhas(); }
    void refeicaoIrPara()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        const QString resposta = hostil::texto(texto, medida, 20);
        Balcao b;
        QVERIFY(b.ativa);
        caixas.respondeEntrada(resposta);
        b.clica("BotaoCodigo");
        QCOMPARE(caixas.textos(), QStringList{QStringLiteral("'%1' não é um valor inteiro válido.").arg(resposta)});
        QCOMPARE(b.id(), QStringLiteral("2"));
    }

    void refeicaoIrParaNumeroGrande_data()
    {
        QTest::addColumn<QString>("resposta");
        QTest::addColumn<QStringList>("mensagens");
        QTest::newRow("além do inteiro") << "9999999999" << QStringList{"Registro não Encontrado!"};
        QTest::newRow("além de 64 bits") << "99999999999999999999"
                                         << QStringList{"'99999999999999999999' não é um valor inteiro válido."};
    }
    void refeicaoIrParaNumeroGrande()
    {
        QFETCH(QString, resposta);
        QFETCH(QStringList, mensagens);
        Balcao b;
        QVERIFY(b.ativa);
        caixas.respondeEntrada(resposta);
        b.clica("BotaoCodigo");
        QCOMPARE(caixas.textos(), mensagens);
        QCOMPARE(b.id(), QStringLiteral("2"));
    }
};

QTEST_MAIN(HostileCounterInput)
#include "gui_hostil_balcao.moc"
