// Text utilities: no input crashes them; the CPF check either answers or raises the conversion
// error, and the folding functions never grow the text.
#include "common/texto.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString s = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), qsizetype(size / 2));
    try {
        cpf(s);
    } catch (const ErroConversao&) {
    }
    if (SemAcento(s).size() != s.size()) abort();
    if (SemSimbolos(s).size() > s.size()) abort();
    enumero(s);
    AjustaControle(s);
    const int n = size ? data[0] % 40 - 5 : 0;
    if (LeftClip(s, n).size() > qMax(0, n)) abort();
    trocacaractere(s, s.left(2), s.mid(2, 3));
    StrZero(double(size) * (n - 3), n);
    return 0;
}
