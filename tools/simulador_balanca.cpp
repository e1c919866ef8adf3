// simulador-balanca [PESO|instavel|negativo|sobrecarga|nada] [-l LIGACAO]
// A scale on a pseudo-terminal for trying the weighing without the hardware: prints the device to
// put in the parameter PortaBalanca and answers every request until Ctrl+C.
#include "tests/support/simuladorbalanca.h"

#include <QByteArray>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t fim = 0;

void uso()
{
    std::fprintf(stderr, "uso: simulador-balanca [PESO|instavel|negativo|sobrecarga|nada] [-l LIGACAO]\n"
                         "  PESO        peso em kg respondido a cada pedido, de 0 a 99,999 (padrão 0,450)\n"
                         "  instavel    responde IIIII (peso instável)\n"
                         "  negativo    responde NNNNN (peso negativo)\n"
                         "  sobrecarga  responde SSSSS (sobrecarga)\n"
                         "  nada        não responde\n"
                         "  -l LIGACAO  cria também um link simbólico LIGACAO para o dispositivo\n");
}

bool lerPeso(QByteArray texto, double& kg)
{
    bool ok = false;
    kg = texto.replace(',', '.').toDouble(&ok);
    return ok && kg >= 0 && kg < 99.9995;
}
} // namespace

int main(int argc, char** argv)
{
    SimuladorBalanca::Resposta resposta = SimuladorBalanca::peso(0.450);
    QByteArray descricao = "0,450 kg";
    QByteArray ligacao;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        double kg = 0;
        if (a == "-l" && i + 1 < argc) {
            ligacao = argv[++i];
        } else if (a == "-h" || a == "--help") {
            uso();
            return 0;
        } else if (a == "instavel") {
            resposta = SimuladorBalanca::bytes(SimuladorBalanca::quadro("IIIII"));
            descricao = "instável (IIIII)";
        } else if (a == "negativo") {
            resposta = SimuladorBalanca::bytes(SimuladorBalanca::quadro("NNNNN"));
            descricao = "negativo (NNNNN)";
        } else if (a == "sobrecarga") {
            resposta = SimuladorBalanca::bytes(SimuladorBalanca::quadro("SSSSS"));
            descricao = "sobrecarga (SSSSS)";
        } else if (a == "nada") {
            resposta = SimuladorBalanca::nada();
            descricao = "sem resposta";
        } else if (lerPeso(a, kg)) {
            resposta = SimuladorBalanca::peso(kg);
            descricao = QByteArray::number(kg, 'f', 3).replace('.', ',') + " kg";
        } else {
            uso();
            return 2;
        }
    }

    std::signal(SIGINT, [](int) { fim = 1; });
    std::signal(SIGTERM, [](int) { fim = 1; });
    try {
        SimuladorBalanca simulador;
        simulador.responderSempre(resposta);
        simulador.aoAtender([&](int n, const SimuladorBalanca::Resposta& r) {
            std::printf("pedido %d: respondido %s\n", n, (r.parte1 + r.parte2).toHex(' ').constData());
            std::fflush(stdout);
        });
        const QByteArray dispositivo = simulador.caminho().toLocal8Bit();
        if (!ligacao.isEmpty()) {
            ::unlink(ligacao.constData()); // a link left by an earlier run points to a dead pty
            if (::symlink(dispositivo.constData(), ligacao.constData()) != 0) {
                std::fprintf(stderr, "não foi possível criar %s: %s\n", ligacao.constData(), std::strerror(errno));
                return 1;
            }
        }
        std::printf("%s\n", dispositivo.constData());
        std::printf("balança simulada em %s, respondendo %s; Ctrl+C encerra\n",
                    (ligacao.isEmpty() ? dispositivo : ligacao + " -> " + dispositivo).constData(),
                    descricao.constData());
        std::fflush(stdout);
        while (!fim) // the signal may land on the simulator's thread: look again now and then
            ::usleep(100 * 1000);
        if (!ligacao.isEmpty()) ::unlink(ligacao.constData());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
