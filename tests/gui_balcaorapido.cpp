// The counter's optional helps at rush hour and its always-on guards, against a real database, a
// scale on a real pseudo-terminal and receipts written as real PDF files: printing without preview
// (on Imprimir and on Confirmar), a missing printer, the question before a stored meal changes
// consumer, the scale's last word under "Pesar", waiting for a stable reading, the consumer's
// meals of the day and the daily limit, and the masked CPF on the receipt.
#include "balcao.h"
#include "simuladorbalanca.h"

#include "common/parametros.h"
#include "common/ui/telacadastro.h"
#include "weighing/xCupon.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

using namespace balcao;

Q_DECLARE_METATYPE(SimuladorBalanca::Resposta)

namespace {

const QString CPF_JOSE = QStringLiteral("52998224725");
const QString NOME_JOSE = QStringLiteral("JOSE DA SILVA");
const QString OUTRO_CLIENTE = QStringLiteral("insert into CLIENTE (NOME, MAE, SEXO, CPF) values ('JOSE DA SILVA', "
                                             "'ANA', 'M', '52998224725');\n");

// A stored meal of the given day and time.
QString refeicaoEm(const QString& cpf, const QString& data, const QString& hora, const QString& peso = "0.450")
{
    return QStringLiteral("insert into REFEICAO (CPF, DATA, HORA, PESO) values ('%1', '%2', '%3', %4);\n")
        .arg(cpf, data, hora, peso);
}

void defineParametros(const QList<QPair<QString, QString>>& valores)
{
    parametros().limpa();
    for (const auto& [chave, valor] : valores) {
        parametros().VetorConfig << chave;
        parametros().VetorConfigVal << valor;
    }
}

int vezes(const QString& texto, const QString& trecho)
{
    return texto.count(trecho);
}

} // namespace

class BalcaoRapido : public QObject
{
    Q_OBJECT

    DialogosRoteirizados caixas;
    std::unique_ptr<SimuladorBalanca> balanca;
    QTemporaryDir pasta;
    int previas = 0; // receipts that went to the preview

    void prepara(Balcao& b)
    {
        b.tela->setPortaBalanca(balanca->caminho());
        b.tela->mostraCupom = [this](TCupom&) { ++previas; };
    }
    QString arquivo(const char* nome) const { return pasta.filePath(QString::fromLatin1(nome)); }
    QString status(const Balcao& b) const { return b.w<QLabel>("StatusBalanca")->text(); }
    QString dia(const Balcao& b) const { return b.w<QLabel>("w_DiaConsumidor")->text(); }

    // Incluir, the CPF, the scale's weight: the meal waits for Confirmar.
    void novaRefeicao(Balcao& b, const QString& cpf, double kg = 0.45)
    {
        b.clica("Incluir");
        b.digita("w_CPF", cpf);
        balanca->responderSempre(SimuladorBalanca::peso(kg));
        b.clica("BotaoPesar");
    }

private Q_SLOTS:
    void initTestCase()
    {
        definePastaFiguras(QStringLiteral(COMEDAL_SOURCE_DIR "/figuras"));
        defineRelogio([] { return MOMENTO; });
    }
    void init()
    {
        parametros().limpa();
        caixas.limpa();
        defineDialogos(&caixas);
        sessao().UsuarioEmUso = QStringLiteral("7");
        balanca = std::make_unique<SimuladorBalanca>();
        previas = 0;
    }
    void cleanup()
    {
        balanca.reset();
        defineDialogos(nullptr);
        parametros().limpa();
    }
    void cleanupTestCase() { defineRelogio({}); }

    // Imprimir goes straight to the printer (here a PDF file); Shift+click still shows the preview.
    void impressaoDireta()
    {
        const QString pdf = arquivo("direta.pdf");
        defineParametros({{"ImpressaoDireta", "S"}, {"ImpressoraCupom", pdf}});
        Balcao b(QStringLiteral("SET GENERATOR GEN_REFEICAO TO 56;\n") +
                 refeicaoEm(CPF_MARIA, "2026-03-14", "11:00:00", "5.25"));
        prepara(b);

        b.clica("Imprimir");
        QCOMPARE(previas, 0);
        QCOMPARE(caixas.textos(), QStringList());
        const QString texto = textoPdf(pdf);
        for (const QString& esperado : {NOME_MARIA, QStringLiteral("123.456.789-09"), QStringLiteral("5,250")})
            QVERIFY2(texto.contains(esperado), qPrintable(texto));
        QCOMPARE(b.tela->cupom()->codigoBarras()->texto, QStringLiteral("000057"));

        QVERIFY(QFile::remove(pdf));
        QTest::mouseClick(b.w("Imprimir"), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(previas, 1);
        QVERIFY(!QFile::exists(pdf));
    }

    // With both keys, one meal is Incluir, the CPF, Pesar and Confirmar: the receipt comes out of
    // Confirmar, with the key the database gave.
    void imprimeAoConfirmar()
    {
        const QString pdf = arquivo("confirmar.pdf");
        defineParametros({{"ImpressaoDireta", "S"}, {"ImprimirAoConfirmar", "S"}, {"ImpressoraCupom", pdf}});
        Balcao b(QStringLiteral("SET GENERATOR GEN_REFEICAO TO 56;\n"));
        prepara(b);
        novaRefeicao(b, CPF_MARIA, 5.25);
        QVERIFY(!QFile::exists(pdf));
        b.clica("Confirmar");

        QCOMPARE(b.estado(), QStringLiteral("Navegando..."));
        QCOMPARE(b.refeicoes(), 1);
        QCOMPARE(previas, 0);
        QCOMPARE(caixas.textos(), QStringList());
        const QString texto = textoPdf(pdf);
        QVERIFY2(texto.contains(NOME_MARIA) && texto.contains(QStringLiteral("5,250")), qPrintable(texto));
        QCOMPARE(b.tela->cupom()->codigoBarras()->texto, QStringLiteral("000057"));

        // A correction is no new meal: confirming it prints nothing.
        QVERIFY(QFile::remove(pdf));
        b.clica("BotaoPesar");
        b.clica("Confirmar");
        QCOMPARE(b.estado(), QStringLiteral("Navegando..."));
        QVERIFY(!QFile::exists(pdf));
    }

    // A printer that is not there: the operator is told, and the meal stays stored.
    void impressoraAusente_data()
    {
        QTest::addColumn<QString>("impressora");
        QTest::addColumn<bool>("aoConfirmar");
        QTest::addColumn<QString>("motivo");
        const QString ausente = QStringLiteral("A impressora \"Cupom Balcao 2\" não foi encontrada.");
        QTest::newRow("Imprimir") << "Cupom Balcao 2" << false << ausente;
        QTest::newRow("Confirmar") << "Cupom Balcao 2" << true << ausente;
        QTest::newRow("arquivo que não pode ser gravado")
            << "/nao-existe/cupom.pdf" << false << "A impressora \"/nao-existe/cupom.pdf\" recusou o cupom.";
    }
    void impressoraAusente()
    {
        QFETCH(QString, impressora);
        QFETCH(bool, aoConfirmar);
        QFETCH(QString, motivo);
        defineParametros({{"ImpressaoDireta", "S"},
                          {"ImprimirAoConfirmar", aoConfirmar ? "S" : ""},
                          {"ImpressoraCupom", impressora}});
        Balcao b;
        prepara(b);
        novaRefeicao(b, CPF_MARIA);
        b.clica("Confirmar");
        if (!aoConfirmar) {
            QCOMPARE(caixas.textos(), QStringList());
            b.clica("Imprimir");
        }

        QCOMPARE(caixas.textos(), QStringList{QStringLiteral("O cupom não foi impresso: %1\nA refeição está gravada; "
                                                             "imprima o cupom de novo pelo botão Imprimir.")
                                                  .arg(motivo)});
        QCOMPARE(caixas.caixas()[0].tipo, TipoCaixa::Erro);
        QCOMPARE(b.refeicoes(), 1);
        QCOMPARE(b.estado(), QStringLiteral("Navegando..."));
        QCOMPARE(b.nome(), NOME_MARIA);
        QCOMPARE(previas, 0);
    }

    // The meal still shown from the last plate gets the next consumer's CPF: the operator is asked.
    // No keeps it as stored; Yes changes the consumer. Weighing it again for the same consumer
    // asks nothing.
    void trocaDeConsumidor_data()
    {
        QTest::addColumn<bool>("trocar");
        QTest::newRow("Não") << false;
        QTest::newRow("Sim") << true;
    }
    void trocaDeConsumidor()
    {
        QFETCH(bool, trocar);
        Balcao b(OUTRO_CLIENTE + refeicaoEm(CPF_MARIA, "2026-03-14", "11:30:00", "0.450"));
        prepara(b);
        QCOMPARE(b.nome(), NOME_MARIA);
        caixas.responde(trocar ? Botao::Sim : Botao::Nao);
        b.digita("w_CPF", CPF_JOSE);

        QCOMPARE(caixas.textos(),
                 QStringList{
                     QStringLiteral("Esta refeição já está registrada para %1. Trocar o consumidor?").arg(NOME_MARIA)});
        QCOMPARE(caixas.caixas()[0].tipo, TipoCaixa::Confirmacao);
        if (!trocar) {
            QCOMPARE(b.estado(), QStringLiteral("Navegando..."));
            QCOMPARE(b.w<QLineEdit>("w_CPF")->text(), QStringLiteral("123.456.789-09"));
            QCOMPARE(b.nome(), NOME_MARIA);
            QCOMPARE(b.coluna("select CPF || '|' || coalesce(USER2, 'nulo') from REFEICAO").toString(),
                     CPF_MARIA + QStringLiteral("|nulo"));
            return;
        }
        QCOMPARE(b.estado(), QStringLiteral("Editando..."));
        QCOMPARE(b.nome(), NOME_JOSE);
        balanca->responderSempre(SimuladorBalanca::peso(0.6));
        b.clica("BotaoPesar");
        b.clica("Confirmar");
        QCOMPARE(b.coluna("select CPF || '|' || PESO from REFEICAO").toString(), CPF_JOSE + QStringLiteral("|0.600"));

        // The same consumer weighed again: no question.
        balanca->responderSempre(SimuladorBalanca::peso(0.7));
        b.clica("BotaoPesar");
        b.clica("Confirmar");
        QCOMPARE(caixas.caixas().size(), 1);
        QCOMPARE(b.coluna("select CPF || '|' || PESO from REFEICAO").toString(), CPF_JOSE + QStringLiteral("|0.700"));
    }

    // The scale's last event in words under "Pesar", for each way an exchange ends; cleared by
    // Incluir.
    void situacaoDaBalanca_data()
    {
        QTest::addColumn<SimuladorBalanca::Resposta>("resposta");
        QTest::addColumn<bool>("portaAusente");
        QTest::addColumn<QString>("situacao");
        using S = SimuladorBalanca;
        QTest::newRow("peso lido") << S::peso(0.45) << false << "Peso lido: 0,450 kg";
        QTest::newRow("peso acima de 10 kg") << S::peso(12.345) << false << "Peso lido: 12,345 kg";
        QTest::newRow("porta ausente") << S::nada() << true << "Balança não conectada: a porta não abriu";
        QTest::newRow("balança muda") << S::nada() << false << "Balança não respondeu";
        QTest::newRow("quadro curto") << S::bytes(S::quadro("05250").left(6)) << false << "Balança não respondeu";
        QTest::newRow("prato vazio") << S::peso(0) << false << "Balança sem prato (0,000 kg)";
        QTest::newRow("instável") << S::bytes(S::quadro("IIIII")) << false << "Peso instável";
        QTest::newRow("negativo") << S::bytes(S::quadro("NNNNN")) << false << "Peso negativo";
        QTest::newRow("sobrecarga") << S::bytes(S::quadro("SSSSS")) << false << "Sobrecarga na balança";
        QTest::newRow("quilos ilegíveis") << S::bytes(S::quadro("0x250")) << false << "Resposta da balança ilegível";
        QTest::newRow("gramas ilegíveis") << S::bytes(S::quadro("052x0")) << false << "Resposta da balança ilegível";
    }
    void situacaoDaBalanca()
    {
        QFETCH(SimuladorBalanca::Resposta, resposta);
        QFETCH(bool, portaAusente);
        QFETCH(QString, situacao);
        Balcao b;
        prepara(b);
        if (portaAusente) b.tela->setPortaBalanca(arquivo("sem-balanca"));
        b.clica("Incluir");
        QCOMPARE(status(b), QString());
        b.digita("w_CPF", CPF_MARIA);
        balanca->responderSempre(resposta);
        b.clica("BotaoPesar");
        QCOMPARE(status(b), situacao);

        caixas.responde(Botao::Sim);
        b.clica("NaoConfirmar");
        QCOMPARE(status(b), situacao); // still there until the next meal starts
        b.clica("Incluir");
        QCOMPARE(status(b), QString());
    }

    // EsperaPesoEstavelMs: an unstable scale is asked again until it gives a weight, each
    // exchange with its own lines in the log; past the time, the unstable message as always.
    void esperaPesoEstavel_data()
    {
        QTest::addColumn<QString>("espera");
        QTest::addColumn<int>("instaveis"); // unstable answers before a weight; -1: always unstable
        QTest::addColumn<int>("pedidosMinimos");
        QTest::addColumn<int>("pedidosMaximos");
        QTest::addColumn<double>("peso"); // -1: none
        QTest::newRow("duas instáveis e o peso") << "5000" << 2 << 3 << 3 << 0.45;
        QTest::newRow("sempre instável: o tempo acaba") << "900" << -1 << 2 << 4 << -1.0;
        QTest::newRow("sem a chave: uma vez só") << "" << -1 << 1 << 1 << -1.0;
    }
    void esperaPesoEstavel()
    {
        QFETCH(QString, espera);
        QFETCH(int, instaveis);
        QFETCH(int, pedidosMinimos);
        QFETCH(int, pedidosMaximos);
        QFETCH(double, peso);
        defineParametros({{"EsperaPesoEstavelMs", espera}});
        Balcao b;
        prepara(b);
        b.clica("Incluir");
        b.digita("w_CPF", CPF_MARIA);
        const auto instavel = SimuladorBalanca::bytes(SimuladorBalanca::quadro("IIIII"));
        if (instaveis < 0) {
            balanca->responderSempre(instavel);
        } else {
            for (int i = 0; i < instaveis; ++i)
                balanca->responderUmaVez(instavel);
            balanca->responderSempre(SimuladorBalanca::peso(peso));
        }
        b.clica("BotaoPesar");

        QVERIFY2(balanca->pedidos() >= pedidosMinimos && balanca->pedidos() <= pedidosMaximos,
                 qPrintable(QString::number(balanca->pedidos())));
        const QString log = b.w<QPlainTextEdit>("Memo1")->toPlainText();
        QCOMPARE(vezes(log, QStringLiteral("✅ Ctrl+E enviado para COM3")), balanca->pedidos());
        QCOMPARE(vezes(log, QStringLiteral("Porta COM3 fechada\n") + QString(32, u'-')), balanca->pedidos());
        if (peso > 0) {
            QCOMPARE(caixas.textos(), QStringList());
            QCOMPARE(b.tela->Refeicao->field("PESO").asFloat(), peso);
            QCOMPARE(status(b), QStringLiteral("Peso lido: 0,450 kg"));
        } else {
            QCOMPARE(caixas.textos(),
                     QStringList{QStringLiteral("Peso instável: aguarde a balança estabilizar e pese novamente")});
            QVERIFY(b.tela->Refeicao->field("PESO").isNull());
            QCOMPARE(status(b), QStringLiteral("Peso instável"));
        }
    }

    // Beside the name: which meal of the day this one is and when the one before was, for a new
    // meal and for stored ones (other days say their date).
    void refeicoesDoDia()
    {
        Balcao b(refeicaoEm(CPF_MARIA, "2026-03-13", "12:00:00") + refeicaoEm(CPF_MARIA, "2026-03-14", "09:10:00") +
                 refeicaoEm(CPF_MARIA, "2026-03-14", "11:05:00") + OUTRO_CLIENTE);
        prepara(b);
        QCOMPARE(b.id(), QStringLiteral("3"));
        QCOMPARE(dia(b), QStringLiteral("2ª refeição hoje — anterior às 09:10"));
        b.clica("Button2");
        QCOMPARE(dia(b), QStringLiteral("1ª refeição hoje"));
        b.clica("Button2");
        QCOMPARE(dia(b), QStringLiteral("1ª refeição em 13/03/2026"));

        b.clica("Incluir");
        QCOMPARE(dia(b), QString());
        b.digita("w_CPF", CPF_MARIA);
        QCOMPARE(dia(b), QStringLiteral("3ª refeição hoje — anterior às 11:05"));
        // Another counter serves her meanwhile: the next look counts it.
        b.db.exec(refeicaoEm(CPF_MARIA, "2026-03-14", "11:40:00"));
        b.w<QLineEdit>("w_CPF")->selectAll();
        b.digita("w_CPF", CPF_JOSE);
        QCOMPARE(dia(b), QStringLiteral("1ª refeição hoje"));
        b.w<QLineEdit>("w_CPF")->selectAll();
        b.digita("w_CPF", CPF_MARIA);
        QCOMPARE(dia(b), QStringLiteral("4ª refeição hoje — anterior às 11:40"));
        QCOMPARE(caixas.textos(), QStringList());
    }

    // LimiteRefeicoesDia: a new meal past the limit asks first; No leaves it being written. The
    // count is the database's at the moment of Confirmar, whatever counter served the consumer.
    void limiteDoDia_data()
    {
        QTest::addColumn<QString>("limite");
        QTest::addColumn<int>("outroBalcao"); // meals stored at another counter after the screen looked
        QTest::addColumn<int>("resposta");    // Botao::Nenhum: no question expected
        QTest::addColumn<bool>("gravada");
        QTest::newRow("abaixo do limite") << "3" << 0 << int(Botao::Nenhum) << true;
        QTest::newRow("no limite, Não") << "2" << 0 << int(Botao::Nao) << false;
        QTest::newRow("no limite, Sim") << "2" << 0 << int(Botao::Sim) << true;
        QTest::newRow("outro balcão chega ao limite") << "3" << 1 << int(Botao::Nao) << false;
        QTest::newRow("sem a chave") << "" << 3 << int(Botao::Nenhum) << true;
    }
    void limiteDoDia()
    {
        QFETCH(QString, limite);
        QFETCH(int, outroBalcao);
        QFETCH(int, resposta);
        QFETCH(bool, gravada);
        defineParametros({{"LimiteRefeicoesDia", limite}});
        Balcao b(refeicaoEm(CPF_MARIA, "2026-03-14", "09:10:00") + refeicaoEm(CPF_MARIA, "2026-03-14", "11:05:00") +
                 refeicaoEm(CPF_MARIA, "2026-03-13", "12:00:00"));
        prepara(b);
        novaRefeicao(b, CPF_MARIA);
        for (int i = 0; i < outroBalcao; ++i)
            b.db.exec(refeicaoEm(CPF_MARIA, "2026-03-14", "11:30:00"));
        if (resposta != Botao::Nenhum) caixas.responde(resposta);
        b.clica("Confirmar");

        const int feitas = 2 + outroBalcao;
        if (resposta == Botao::Nenhum) {
            QCOMPARE(caixas.textos(), QStringList());
        } else {
            QCOMPARE(caixas.textos(),
                     QStringList{QStringLiteral("Este consumidor já fez %1 refeição(ões) hoje. Registrar mesmo assim?")
                                     .arg(feitas)});
            QCOMPARE(caixas.caixas()[0].tipo, TipoCaixa::Confirmacao);
        }
        QCOMPARE(b.refeicoes(), 3 + outroBalcao + (gravada ? 1 : 0));
        QCOMPARE(b.estado(), gravada ? QStringLiteral("Navegando...") : QStringLiteral("Incluindo..."));
    }

    // MascararCPFCupom: the receipt shows the CPF as public bodies print it.
    void cpfMascaradoNoCupom_data()
    {
        QTest::addColumn<QString>("mascarar");
        QTest::addColumn<QString>("impresso");
        QTest::addColumn<QString>("ausente");
        QTest::newRow("S") << "S"
                           << "***.456.789-**"
                           << "123.456.789-09";
        QTest::newRow("vazio") << ""
                               << "123.456.789-09"
                               << "***";
    }
    void cpfMascaradoNoCupom()
    {
        QFETCH(QString, mascarar);
        QFETCH(QString, impresso);
        QFETCH(QString, ausente);
        const QString pdf = arquivo("mascarado.pdf");
        defineParametros({{"MascararCPFCupom", mascarar}});
        Balcao b(refeicaoEm(CPF_MARIA, "2026-03-14", "11:00:00"));
        b.tela->mostraCupom = [&](TCupom& c) { QVERIFY(c.salvarPdf(pdf)); };
        b.clica("Imprimir");
        const QString texto = textoPdf(pdf);
        QVERIFY2(texto.contains(impresso) && !texto.contains(ausente), qPrintable(texto));
        QVERIFY2(texto.contains(NOME_MARIA), qPrintable(texto));
    }
};

QTEST_MAIN(BalcaoRapido)
#include "gui_balcaorapido.moc"
