// Edit masks: any mask and any typed text are handled without crashing, and a stored value
// shown through its mask and read back is the same value.
#include "common/mascara.h"

#include <cstdint>
#include <cstdlib>

namespace {
const char* const kMascaras[] = {"000\\.000\\.000\\-00;0;_",  "!\\(99\\)00000-0000;0;_",
                                 "00\\.000\\-000;0;_",        "00\\.000\\.000\\/0000\\-00;0;_",
                                 "!99/99/9900;1;_",           "99999999;0;_",
                                 "!999\\.999\\.999\\-99;0;_", "!90:00;1;_"};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const QString texto = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), int(size - 1));
    const int escolha = data[0] % 9;
    // the ninth choice uses the input itself as the mask
    const QString mascara = escolha < 8 ? QString::fromLatin1(kMascaras[escolha]) : texto;
    mascara::mascaraQt(mascara);
    mascara::completo(mascara, texto);
    const QString valor = mascara::textoParaValor(mascara, texto);
    mascara::valorParaTexto(mascara, texto);
    if (escolha < 5) {
        // digits-only masks that store no literals: a value of digits survives the round trip
        QString digitos;
        for (QChar c : texto)
            if (c >= u'0' && c <= u'9') digitos += c;
        const QString mostrado = mascara::valorParaTexto(mascara, digitos);
        const QString lido = mascara::textoParaValor(mascara, mostrado);
        if (escolha < 4 && !digitos.isEmpty() && digitos.size() == lido.size() && lido != digitos) abort();
    }
    (void)valor;
    return 0;
}
