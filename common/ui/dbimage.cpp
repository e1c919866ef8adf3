#include "common/ui/dbimage.h"

#include "common/dialogos.h"
#include "common/ui/relatorioerro.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>

DBImage::DBImage(QWidget* parent) : QLabel(parent), ligacao_(new LigacaoCampo(this, this, LigacaoCampo::Tipo::Outro))
{
    setAlignment(Qt::AlignCenter);
    ligacao_->atualiza();
}

bool DBImage::temImagem() const
{
    return !pixmap().isNull();
}

void DBImage::mostraCampo(Field* campo)
{
    QPixmap p;
    if (campo && !campo->isNull()) p.loadFromData(campo->asBytes());
    if (p.isNull())
        clear();
    else
        setPixmap(p);
}

void DBImage::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLabel::mouseDoubleClickEvent(e);
    Q_EMIT duploClique();
}

Field& DBImage::abreParaAlterar()
{
    Dataset* ds = ligacao_->dataset();
    Field* f = ligacao_->campo();
    if (!ds || !f || !ds->active()) throw fb::Error(QStringLiteral("Não há registro para receber a imagem"));
    if (ligacao_->somenteLeitura() || f->readOnly()) throw fb::Error(QStringLiteral("A imagem não pode ser alterada"));
    if (ds->state() == EstadoDataset::Browse) ds->edit();
    return *f;
}

void DBImage::carregaArquivo(const QString& caminho)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly))
        throw fb::Error(QStringLiteral("Não foi possível ler o arquivo %1").arg(caminho));
    const QByteArray dados = arquivo.readAll();
    if (QImage::fromData(dados).isNull())
        throw fb::Error(QStringLiteral("O arquivo %1 não contém uma imagem válida").arg(caminho));
    abreParaAlterar().setValue(dados);
}

bool DBImage::escolheArquivo()
{
    const QString caminho = dialogos().abrirArquivo(QStringLiteral("Abrir"), QStringLiteral("Bitmaps (*.BMP) | *.BMP"));
    if (caminho.isEmpty()) return false;
    return protegido([&] { carregaArquivo(caminho); });
}

void DBImage::copiar() const
{
    if (temImagem()) QGuiApplication::clipboard()->setPixmap(pixmap());
}

void DBImage::recortar()
{
    if (!temImagem()) return;
    protegido([&] {
        Field& f = abreParaAlterar();
        copiar();
        f.clear();
    });
}

void DBImage::colar()
{
    const QImage imagem = QGuiApplication::clipboard()->image();
    if (imagem.isNull()) return;
    protegido([&] {
        // Pictures are kept as bitmaps, as loaded from files.
        QByteArray dados;
        QBuffer buffer(&dados);
        buffer.open(QIODevice::WriteOnly);
        imagem.save(&buffer, "BMP");
        abreParaAlterar().setValue(dados);
    });
}

DBImage::~DBImage()
{
    ligacao_->soltaControle();
}
