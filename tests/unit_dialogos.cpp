// The box shortcuts carry the Portuguese captions and buttons, and the scripted service never
// blocks: unanswered boxes get their closing answer.
#include "common/dialogos.h"

#include <QCoreApplication>
#include <QtTest>

class DialogosTeste : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("COMEDAL")); }

    void atalhos()
    {
        DialogosRoteirizados d;
        defineDialogos(&d);
        simples("a");
        informa("b");
        avisa("c");
        erro("d");
        QVERIFY(!confirma("e")); // nothing queued: No
        d.responde(Botao::Sim);
        QVERIFY(confirma("f", "Excluir"));
        avisa("g", "Sair");

        struct Esperada
        {
            TipoCaixa tipo;
            const char* titulo;
            int botoes;
            int resposta;
        };
        const QList<Esperada> esperadas{
            {TipoCaixa::Simples, "COMEDAL", Botao::Ok, Botao::Ok},
            {TipoCaixa::Informacao, "Informação", Botao::Ok, Botao::Ok},
            {TipoCaixa::Aviso, "Atenção", Botao::Ok, Botao::Ok},
            {TipoCaixa::Erro, "Erro", Botao::Ok, Botao::Ok},
            {TipoCaixa::Confirmacao, "Confirme", Botao::Sim | Botao::Nao, Botao::Nao},
            {TipoCaixa::Confirmacao, "Excluir", Botao::Sim | Botao::Nao, Botao::Sim},
            {TipoCaixa::Aviso, "Sair", Botao::Ok, Botao::Ok},
        };
        QCOMPARE(d.caixas().size(), esperadas.size());
        for (int i = 0; i < esperadas.size(); ++i) {
            const auto& c = d.caixas()[i];
            QCOMPARE(c.tipo, esperadas[i].tipo);
            QCOMPARE(c.titulo, QString::fromUtf8(esperadas[i].titulo));
            QCOMPARE(c.botoes, esperadas[i].botoes);
            QCOMPARE(c.resposta, esperadas[i].resposta);
        }
        QCOMPARE(d.textos(), (QStringList{"a", "b", "c", "d", "e", "f", "g"}));
        defineDialogos(nullptr);
    }

    void respostasEmOrdem()
    {
        DialogosRoteirizados d;
        defineDialogos(&d);
        d.responde(Botao::Cancelar);
        d.responde(Botao::Sim); // not a button of an OK box: the box gets OK and the answer is used up
        d.respondeEntrada(QStringLiteral("42"));
        d.respondeEntrada(std::nullopt);
        d.respondeArquivo(QStringLiteral("/tmp/foto.bmp"));
        d.respondeModal(1);
        d.respondeModal([](QObject* janela) { return janela->objectName() == QLatin1String("xSenha") ? 7 : -1; });
        QCOMPARE(d.pendentes(), 7);

        QCOMPARE(dialogos().mensagem(TipoCaixa::Aviso, "t", "x", Botao::Ok | Botao::Cancelar), int(Botao::Cancelar));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("não é um botão"));
        QCOMPARE(dialogos().mensagem(TipoCaixa::Aviso, "t", "y", Botao::Ok), int(Botao::Ok));
        QCOMPARE(dialogos().mensagem(TipoCaixa::Confirmacao, "t", "z", Botao::Sim | Botao::Nao | Botao::Cancelar),
                 int(Botao::Nao));

        QString valor = QStringLiteral("1");
        QVERIFY(dialogos().entrada("Ir Para", "Código", valor));
        QCOMPARE(valor, QStringLiteral("42"));
        QVERIFY(!dialogos().entrada("Ir Para", "Código", valor));
        QCOMPARE(valor, QStringLiteral("42")); // a cancelled box leaves the text alone
        QVERIFY(!dialogos().entrada("Ir Para", "Código", valor));
        QCOMPARE(d.entradas().size(), 3);
        QCOMPARE(d.entradas()[0].valorInicial, QStringLiteral("1"));

        QCOMPARE(dialogos().abrirArquivo("Foto", "*.bmp"), QStringLiteral("/tmp/foto.bmp"));
        QCOMPARE(dialogos().abrirArquivo("Foto", "*.bmp"), QString());

        QObject janela;
        janela.setObjectName("xSenha");
        QCOMPARE(dialogos().mostrarModal(&janela), 1);
        QCOMPARE(dialogos().mostrarModal(&janela), 7);
        QCOMPARE(dialogos().mostrarModal(&janela), 0);
        QCOMPARE(d.pendentes(), 0);
        defineDialogos(nullptr);
    }

    void servicoDestruidoSaiDeUso()
    {
        {
            DialogosRoteirizados d;
            QCOMPARE(defineDialogos(&d), nullptr);
            QCOMPARE(&dialogos(), &d);
        }
        // The silent stand-in answers now; a dangling service would crash here.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("sem serviço"));
        QVERIFY(!confirma("Sair?"));
    }
};

QTEST_GUILESS_MAIN(DialogosTeste)
#include "unit_dialogos.moc"
