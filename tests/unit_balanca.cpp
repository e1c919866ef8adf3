// The scale link through a real pseudo-terminal: the simulator answers on the master side while the
// exchange blocks this thread, exactly as the counter's scale would.
#include "simuladorbalanca.h"

#include "common/dialogos.h"
#include "common/parametros.h"
#include "weighing/balanca.h"

#include <QSerialPort>
#include <QtTest>

#include <cerrno>
#include <cstring>

using Resposta = SimuladorBalanca::Resposta;
Q_DECLARE_METATYPE(Resposta)

namespace {
const QString enviado = QStringLiteral("✅ Ctrl+E enviado para COM3");
const QString nenhum = QStringLiteral("⚠️ Nenhum dado recebido");
const QStringList fechamento = {QStringLiteral("Porta COM3 fechada"), QString(32, u'-')};

QStringList recebido(const QString& peso)
{
    return {QString(), QStringLiteral("📥 DADOS RECEBIDOS:"), QStringLiteral("Peso: ") + peso};
}
} // namespace

class ScaleLink : public QObject
{
    Q_OBJECT

    DialogosRoteirizados caixas;
    QStringList log;
    std::function<void(const QString&)> registra = [this](const QString& linha) { log << linha; };

private Q_SLOTS:
    void init()
    {
        caixas.limpa();
        defineDialogos(&caixas);
        log.clear();
        parametros().limpa();
    }
    void cleanup() { defineDialogos(nullptr); }

    void extraiPesoDoQuadro_data()
    {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<int>("lidos");
        QTest::addColumn<QString>("peso");
        QTest::newRow("quadro completo") << SimuladorBalanca::quadro("05250") << 7 << "05.250";
        QTest::newRow("pontas não examinadas") << QByteArray("A99999Z") << 7 << "99.999";
        QTest::newRow("bytes acima de 127") << QByteArray("\x02\xe9"
                                                          "1234\x03")
                                            << 7 << "\u00e91.234";
        QTest::newRow("seis bytes") << SimuladorBalanca::quadro("05250") << 6 << "";
        QTest::newRow("oito bytes") << SimuladorBalanca::quadro("05250") + 'x' << 8 << "";
    }
    void extraiPesoDoQuadro()
    {
        QFETCH(QByteArray, buffer);
        QFETCH(int, lidos);
        QFETCH(QString, peso);
        QCOMPARE(Balanca::ExtrairPesoPrt5(buffer, lidos), peso);
    }

    void pesagem_data()
    {
        QTest::addColumn<Resposta>("resposta");
        QTest::addColumn<double>("peso"); // -1: no weight
        QTest::addColumn<QStringList>("linhas");
        QTest::addColumn<QStringList>("mensagens");

        const QStringList semPeso = QStringList{enviado} + fechamento;
        const QByteArray q = SimuladorBalanca::quadro("05250");
        QTest::newRow("5,250 kg") << SimuladorBalanca::bytes(q) << 5.25
                                  << QStringList{enviado} + recebido("05.250") + fechamento << QStringList();
        QTest::newRow("5 g") << SimuladorBalanca::peso(0.005) << 0.005
                             << QStringList{enviado} + recebido("00.005") + fechamento << QStringList();
        QTest::newRow("pontas quaisquer")
            << SimuladorBalanca::bytes(QByteArray("\xff"
                                                  "12345\x00",
                                                  7))
            << 12.345 << QStringList{enviado} + recebido("12.345") + fechamento << QStringList();
        QTest::newRow("pontas letras") << SimuladorBalanca::bytes("A12345Z") << 12.345
                                       << QStringList{enviado} + recebido("12.345") + fechamento << QStringList();
        QTest::newRow("máximo") << SimuladorBalanca::peso(99.999) << 99.999
                                << QStringList{enviado} + recebido("99.999") + fechamento << QStringList();
        QTest::newRow("prato vazio") << SimuladorBalanca::peso(0) << -1.0 << semPeso
                                     << QStringList{"Favor Colocar algum o prato na Balança"};
        QTest::newRow("seis bytes") << SimuladorBalanca::bytes(q.left(6)) << -1.0
                                    << QStringList{enviado, nenhum} + fechamento << QStringList();
        QTest::newRow("balança muda") << SimuladorBalanca::nada() << -1.0 << QStringList{enviado, nenhum} + fechamento
                                      << QStringList();
        // Pieces that come while the read is waiting, closer than the 50 ms between bytes.
        QTest::newRow("em dois pedaços durante a leitura")
            << SimuladorBalanca::dividida(q.left(3), q.mid(3), 10, 300) << 5.25
            << QStringList{enviado} + recebido("05.250") + fechamento << QStringList();
        // Pieces that both come during the 200 ms pause before the read.
        QTest::newRow("em dois pedaços antes da leitura")
            << SimuladorBalanca::dividida(q.left(2), q.mid(2), 100) << 5.25
            << QStringList{enviado} + recebido("05.250") + fechamento << QStringList();
        // A gap longer than the interval between bytes ends the read with what came.
        QTest::newRow("pedaços longe demais") << SimuladorBalanca::dividida(q.left(3), q.mid(3), 250, 300) << -1.0
                                              << QStringList{enviado, nenhum} + fechamento << QStringList();
        // The frame is 7 bytes; whatever follows is left behind when the port closes.
        QTest::newRow("bytes depois do quadro")
            << SimuladorBalanca::bytes(q + "\x02"
                                           "99")
            << 5.25 << QStringList{enviado} + recebido("05.250") + fechamento << QStringList();
        // The cable pulled while the answer is awaited: the read itself fails.
        QTest::newRow("cabo desligado") << SimuladorBalanca::desligada() << -1.0
                                        << QStringList{enviado, QStringLiteral("⚠️ Erro na Leitura da Serial")} +
                                               fechamento
                                        << QStringList();
        QTest::newRow("instável") << SimuladorBalanca::bytes(SimuladorBalanca::quadro("IIIII")) << -1.0 << semPeso
                                  << QStringList{"Peso instável: aguarde a balança estabilizar e pese novamente"};
        QTest::newRow("negativo") << SimuladorBalanca::bytes(SimuladorBalanca::quadro("NNNNN")) << -1.0 << semPeso
                                  << QStringList{"Peso negativo na balança: verifique a tara e pese novamente"};
        QTest::newRow("sobrecarga") << SimuladorBalanca::bytes(SimuladorBalanca::quadro("SSSSS")) << -1.0 << semPeso
                                    << QStringList{"Sobrecarga na balança: o peso passa do limite"};
    }
    void pesagem()
    {
        QFETCH(Resposta, resposta);
        QFETCH(double, peso);
        QFETCH(QStringList, linhas);
        QFETCH(QStringList, mensagens);

        SimuladorBalanca balanca;
        balanca.responderSempre(resposta);
        const std::optional<double> lido = Balanca(balanca.caminho()).EnviarCtrlELerRespostaCOM3(registra);

        QCOMPARE(lido.has_value(), peso >= 0);
        if (lido) QCOMPARE(*lido, peso);
        QCOMPARE(log, linhas);
        QCOMPARE(caixas.textos(), mensagens);
        for (const auto& c : caixas.caixas()) {
            QCOMPARE(c.tipo, TipoCaixa::Simples);
            QCOMPARE(c.botoes, int(Botao::Ok));
        }
        QCOMPARE(balanca.pedidos(), 1);
        QCOMPARE(balanca.linhaNoPedido(), "4800 8N1");
    }

    // A non-digit in the weight reaches the general error report as a conversion error, after the
    // port is closed.
    void pesoQueNaoENumero_data()
    {
        QTest::addColumn<QByteArray>("digitos");
        QTest::addColumn<QString>("erro");
        QTest::addColumn<QStringList>("linhas");
        QTest::newRow("quilos") << QByteArray("0A250") << "'0A' não é um valor inteiro válido"
                                << QStringList{enviado} + fechamento;
        QTest::newRow("quilos com espaço")
            << QByteArray(" 5250") << "' 5' não é um valor inteiro válido" << QStringList{enviado} + fechamento;
        QTest::newRow("gramas") << QByteArray("052X0") << "'5,2X0' não é um valor de ponto flutuante válido"
                                << QStringList{enviado} + recebido("05.2X0") + fechamento;
        QTest::newRow("gramas com sinal") << QByteArray("05-25") << "'5,-25' não é um valor de ponto flutuante válido"
                                          << QStringList{enviado} + recebido("05.-25") + fechamento;
    }
    void pesoQueNaoENumero()
    {
        QFETCH(QByteArray, digitos);
        QFETCH(QString, erro);
        QFETCH(QStringList, linhas);

        SimuladorBalanca balanca;
        balanca.responderSempre(SimuladorBalanca::bytes(SimuladorBalanca::quadro(digitos)));
        QString mensagem;
        try {
            Balanca(balanca.caminho()).EnviarCtrlELerRespostaCOM3(registra);
        } catch (const std::runtime_error& e) {
            mensagem = QString::fromUtf8(e.what());
        }
        QCOMPARE(mensagem, erro);
        QCOMPARE(log, linhas);
        QVERIFY(caixas.caixas().isEmpty());
    }

    // What the scale sent before the request (an old frame, noise) is purged, not read as the answer.
    void restosNaLinhaSaoDescartados()
    {
        SimuladorBalanca balanca;
        balanca.responderSempre(SimuladorBalanca::peso(2.5));
        balanca.enviar(SimuladorBalanca::quadroPeso(7.777) + "\x15");
        QTest::qWait(50);
        QCOMPARE(Balanca(balanca.caminho()).EnviarCtrlELerRespostaCOM3(registra), std::optional<double>(2.5));
        QCOMPARE(log, QStringList{enviado} + recebido("02.500") + fechamento);
    }

    void portaInexistente()
    {
        const std::optional<double> lido =
            Balanca(QStringLiteral("/dev/comedal-nao-existe")).EnviarCtrlELerRespostaCOM3(registra);
        QVERIFY(!lido);
        QCOMPARE(caixas.textos(),
                 QStringList{QStringLiteral("Erro ao abrir COM3: ") + QString::fromLocal8Bit(std::strerror(ENOENT))});
        QCOMPARE(caixas.caixas().first().tipo, TipoCaixa::Simples);
        QVERIFY(log.isEmpty());
    }

    // Each weighing opens, configures and closes the port again and writes its own block.
    void duasPesagensSeguidas()
    {
        SimuladorBalanca balanca;
        balanca.responderUmaVez(SimuladorBalanca::peso(0.45));
        balanca.responderUmaVez(SimuladorBalanca::peso(1.2));
        Balanca b(balanca.caminho());
        QCOMPARE(b.EnviarCtrlELerRespostaCOM3(registra), std::optional<double>(0.45));
        QCOMPARE(b.EnviarCtrlELerRespostaCOM3(registra), std::optional<double>(1.2));
        QCOMPARE(log, QStringList{enviado} + recebido("00.450") + fechamento + QStringList{enviado} +
                          recebido("01.200") + fechamento);
        QCOMPARE(balanca.pedidos(), 2);
        QVERIFY(caixas.caixas().isEmpty());
    }

    // A port another program holds cannot be opened, and the exchange leaves it untouched.
    void portaOcupada()
    {
        SimuladorBalanca balanca;
        balanca.responderSempre(SimuladorBalanca::peso(3));
        QSerialPort outro(balanca.caminho());
        QVERIFY(outro.open(QIODevice::ReadWrite));
        QVERIFY(!Balanca(balanca.caminho()).EnviarCtrlELerRespostaCOM3(registra));
        QCOMPARE(caixas.textos().size(), 1);
        QVERIFY(caixas.textos().first().startsWith(QStringLiteral("Erro ao abrir COM3: ")));
        QVERIFY(log.isEmpty());
        outro.close();
        QCOMPARE(Balanca(balanca.caminho()).EnviarCtrlELerRespostaCOM3(registra), std::optional<double>(3.0));
    }

    void portaDoParametro()
    {
#ifdef Q_OS_WIN
        QCOMPARE(Balanca::portaPadrao(), QStringLiteral("\\\\.\\COM3"));
#else
        QCOMPARE(Balanca::portaPadrao(), QStringLiteral("/dev/ttyS2"));
#endif
        parametros().VetorConfig << QStringLiteral("PORTABALANCA");
        parametros().VetorConfigVal << QStringLiteral("/dev/ttyUSB0");
        QCOMPARE(Balanca::portaPadrao(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(Balanca().porta(), QStringLiteral("/dev/ttyUSB0"));
    }
};

QTEST_GUILESS_MAIN(ScaleLink)
#include "unit_balanca.moc"
