// Program body Comedal: the application, the boxes, the screens of this build, then the data
// module, the main window and the event loop (app/xPrincipal.h).
#include "app/telas.h"
#include "app/xPrincipal.h"
#include "common/ui/dialogosqt.h"
#include "common/ui/relatorioerro.h"
#include "data/conexao.h"

int main(int argc, char** argv)
{
    Aplicacao app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Comedal"));
    QCoreApplication::setApplicationVersion(QStringLiteral(COMEDAL_VERSION));

    DialogosQt caixas;
    defineDialogos(&caixas);
    registraTelasDoSistema();
    const int codigo = Comedal(conexao::bancoLocal());
    defineDialogos(nullptr);
    return codigo;
}
