// Saving from inside a box runs that box's rules: the client, user and meal screens saved with the
// cursor still in the box (by key and by button) end exactly as when the operator left the box
// with Tab first and then saved.
#include "clients/Pacientes.h"
#include "clients/regrascliente.h"
#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/sessao.h"
#include "common/ui/telacadastro.h"
#include "data/arquivos.h"
#include "telas.h"
#include "testdb.h"
#include "users/xUsuarios.h"
#include "weighing/xPessagem.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>

namespace {

enum class Modo { CtrlG, Confirmar, TabAntes };

const char* nomeDoModo(Modo m)
{
    switch (m) {
    case Modo::CtrlG:
        return "Ctrl+G";
    case Modo::Confirmar:
        return "Confirmar";
    default:
        return "Tab";
    }
}

// What the operator is left with: the first box shown (the rule's refusal or warning), the value
// stored (invalid: no row), and whether the record is still being written.
struct Desfecho
{
    QString mensagem;
    QVariant gravado;
    bool escrevendo = false;

    bool operator==(const Desfecho& o) const
    {
        return mensagem == o.mensagem && gravado.isValid() == o.gravado.isValid() &&
               gravado.toString() == o.gravado.toString() && escrevendo == o.escrevendo;
    }
};

QString descreve(const Desfecho& d)
{
    return QStringLiteral("[%1] gravado=%2 escrevendo=%3")
        .arg(d.mensagem, d.gravado.isValid() ? d.gravado.toString() : QStringLiteral("<nada>"))
        .arg(d.escrevendo);
}

// Empties the box and types into it from the given position, as the operator would.
void digita(QWidget* caixa, const QString& texto, int posicao)
{
    caixa->setFocus();
    QApplication::processEvents();
    if (auto* e = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        e->setCursorPosition(posicao);
    }
    QTest::keyClicks(QApplication::focusWidget(), texto);
}

// Saves the way the case asks for; the cursor is in the box just typed into.
void grava(QWidget* tela, Modo modo)
{
    if (modo == Modo::TabAntes) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (modo == Modo::CtrlG)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_G, Qt::ControlModifier);
    else
        QTest::mouseClick(botao(tela, "Confirmar"), Qt::LeftButton);
}

QString primeira(const DialogosRoteirizados& caixas)
{
    const QStringList t = caixas.textos();
    return t.isEmpty() ? QString() : t.first();
}

const QString kOutroCpf = QStringLiteral("12345678909");

} // namespace

class RegrasAoGravar : public QObject
{
    Q_OBJECT

    DialogosRoteirizados caixas;

    // A new client with everything required filled, one box typed by the operator, saved one way.
    Desfecho clienteNovo(const char* caixa, const QString& texto, int posicao, const QString& coluna, Modo modo)
    {
        TestDatabase db;
        db.exec(QStringLiteral("insert into CLIENTE (NOME, MAE, CPF, SEXO, ATIVO) values "
                               "('OUTRO DONO', 'MAE DELE', '%1', 'M', 'S');")
                    .arg(kOutroCpf));
        TDados dados(db.settings());
        caixas.limpa();
        Desfecho d;
        {
            TCad_Cliente tela;
            if (!mostra(&tela, QSize(1100, 760))) qFatal("the client screen did not become active");
            QTest::mouseClick(botao(&tela, "Incluir"), Qt::LeftButton);
            Dataset* c = dados.Cliente;
            c->field(QStringLiteral("NOME")).setValue(QStringLiteral("JOAO SILVA"));
            c->field(QStringLiteral("MAE")).setValue(QStringLiteral("MAE DE TESTE"));
            c->field(QStringLiteral("SEXO")).setValue(QStringLiteral("M"));
            c->field(QStringLiteral("CPF")).setValue(QStringLiteral("52998224725"));
            digita(filho(&tela, caixa), texto, posicao);
            grava(&tela, modo);
            d.escrevendo = c->isEditing();
            d.mensagem = primeira(caixas);
        }
        d.gravado = db.valor(QStringLiteral("select %1 from CLIENTE where NOME <> 'OUTRO DONO'").arg(coluna));
        return d;
    }

private Q_SLOTS:
    void initTestCase()
    {
        defineDialogos(&caixas);
        definePastaFiguras(QStringLiteral(COMEDAL_SOURCE_DIR "/figuras"));
    }
    void init()
    {
        parametros().limpa();
        parametros().VetorConfig = {QStringLiteral("BuscaCPF")};
        parametros().VetorConfigVal = {QStringLiteral("S")};
    }
    void cleanupTestCase()
    {
        defineDialogos(nullptr);
        parametros().limpa();
    }

    void clienteTresModos_data()
    {
        QTest::addColumn<QString>("caixa");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("posicao"); // where typing starts in the box
        QTest::addColumn<QString>("coluna");
        QTest::addColumn<QString>("mensagem"); // the first box shown
        QTest::addColumn<QVariant>("gravado"); // invalid: nothing stored

        const QVariant nada;
        QTest::newRow("one-word name") << "w_Nome"
                                       << "MARIA" << 0 << "NOME"
                                       << "Não é possivel utilizar apenas 1 nome\nNome do paciente deve ter no mínimo "
                                          "2 nomes"
                                       << nada;
        QTest::newRow("abbreviated name")
            << "w_Nome"
            << "JOSE A. SILVA" << 0 << "NOME" << regrascliente::mensagemAbreviacao() << nada;
        QTest::newRow("sex guessed from the name")
            << "w_Nome"
            << "ANA MARIA SOUZA" << 0 << "SEXO" << QString() << QVariant(QStringLiteral("F"));
        QTest::newRow("landline with its 0")
            << "w_TELEFONE"
            << "07132123456" << 0 << "TELEFONE" << QString() << QVariant(QStringLiteral("71 32123456"));
        QTest::newRow("nine-digit phone") << "w_CELULAR"
                                          << "987654321" << 4 << "CELULAR"
                                          << "Número do telefone deve ter 11 digitos" << nada;
        QTest::newRow("mother's name with blanks")
            << "w_MAE"
            << "  RITA  " << 0 << "MAE" << QString() << QVariant(QStringLiteral("RITA"));
        QTest::newRow("district with a quote")
            << "w_Bairro"
            << "SAO JOAO D'EL REI" << 0 << "BAIRRO" << QString() << QVariant(QStringLiteral("SAO JOAO D EL REI"));
        QTest::newRow("another client's CPF")
            << "w_CPF" << kOutroCpf << 0 << "CPF"
            << "O CPF 12345678909 já existe para o paciente\nCódigo: 1\nNome: OUTRO DONO" << QVariant(kOutroCpf);
    }
    void clienteTresModos()
    {
        QFETCH(QString, caixa);
        QFETCH(QString, texto);
        QFETCH(int, posicao);
        QFETCH(QString, coluna);
        QFETCH(QString, mensagem);
        QFETCH(QVariant, gravado);
        const Desfecho esperado{mensagem, gravado, !gravado.isValid()};
        const QByteArray nome = caixa.toLatin1();
        for (Modo modo : {Modo::TabAntes, Modo::CtrlG, Modo::Confirmar}) {
            const Desfecho d = clienteNovo(nome.constData(), texto, posicao, coluna, modo);
            QVERIFY2(d == esperado,
                     qPrintable(QStringLiteral("%1: %2, expected %3")
                                    .arg(QString::fromLatin1(nomeDoModo(modo)), descreve(d), descreve(esperado))));
        }
    }

    // The user registry: a date box left half typed keeps its text and refuses the save.
    void usuarioDataIncompleta()
    {
        for (Modo modo : {Modo::TabAntes, Modo::Confirmar}) {
            TestDatabase db;
            db.exec(QStringLiteral(
                "insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA) "
                "values ('ANA', 'Ana123', 'SALVADOR', 'CENTRO', '12345678909', '1980-03-12', 'S', 'N');"));
            TDados dados(db.settings());
            sessao().UsuarioEmUso = QStringLiteral("1");
            dados.Usuarios->open();
            caixas.limpa();
            Desfecho d;
            {
                TCad_Usuario tela;
                QVERIFY(mostra(&tela, QSize(1100, 700)));
                QVERIFY(dados.Usuarios->locate({QStringLiteral("ID")}, {2}));
                QTest::mouseClick(botao(&tela, "Alterar"), Qt::LeftButton);
                QVERIFY(dados.Usuarios->isEditing());
                digita(filho(&tela, "w_Nascimento"), QStringLiteral("0105"), 0);
                grava(&tela, modo);
                d.escrevendo = dados.Usuarios->isEditing();
                d.mensagem = primeira(caixas);
                QVERIFY2(caixas.textos().size() >= 1, nomeDoModo(modo));
                QCOMPARE(QApplication::focusWidget(), filho(&tela, "w_Nascimento"));
            }
            d.gravado = db.valor(QStringLiteral("select NASCIMENTO from USUARIOS where ID = 2"));
            QVERIFY2(d.mensagem.startsWith(QStringLiteral("Valor de entrada inválido")), qPrintable(descreve(d)));
            QVERIFY2(d.escrevendo, nomeDoModo(modo));
            QCOMPARE(d.gravado.toDate(), QDate(1980, 3, 12));
        }
    }

    // The meal screen: a CPF whose check digits fail is refused, and no meal is stored.
    void refeicaoCpfInvalido()
    {
        for (Modo modo : {Modo::TabAntes, Modo::Confirmar}) {
            TestDatabase db;
            TDados dados(db.settings());
            sessao().UsuarioEmUso = QStringLiteral("1");
            caixas.limpa();
            Desfecho d;
            {
                TPessagem tela;
                QVERIFY(mostra(&tela, QSize(1000, 700)));
                QTest::mouseClick(botao(&tela, "Incluir"), Qt::LeftButton);
                digita(filho(&tela, "w_CPF"), QStringLiteral("12345678900"), 0);
                grava(&tela, modo);
                d.mensagem = primeira(caixas);
                d.escrevendo = !botao(&tela, "Incluir")->isEnabled();
            }
            d.gravado = db.valor(QStringLiteral("select count(*) from REFEICAO"));
            QCOMPARE(d.mensagem, QStringLiteral("Número de C.P.F. Invalido."));
            QVERIFY2(d.escrevendo, nomeDoModo(modo));
            QCOMPARE(d.gravado.toInt(), 0);
        }
    }
};

QTEST_MAIN(RegrasAoGravar)
#include "gui_regrasaogravar.moc"
