#pragma once
// The shared functions of the screens.

#include "common/dialogos.h"
#include "common/navegacao.h"
#include "common/parametros.h"
#include "common/sessao.h"
#include "common/texto.h"
