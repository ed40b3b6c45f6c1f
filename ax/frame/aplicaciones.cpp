#include "ax/frame/aplicaciones.h"

#include "common/fallo.h"
#include "common/numeros.h"
#include "common/texto.h"

namespace tildo {
namespace {

Proceso deAplicacion(const Aplicacion& app) {
  return {app.pid, app.nombre.value_or("?"), app.bundle.value_or("?")};
}

bool contiene(const std::string& texto, const std::string& parte) {
  return texto.find(parte) != std::string::npos;
}

}  // namespace

Proceso proceso(Espacio& espacio, const std::optional<std::string>& para) {
  if (!para || para->empty()) {
    auto app = espacio.primerPlano();
    if (!app) fallo("no pude leer la app en primer plano");
    return deAplicacion(*app);
  }
  if (auto pid = leerEntero32(*para)) {
    auto app = espacio.porPid(*pid);
    if (!app) fallo("no hay ningún proceso con pid " + std::to_string(*pid));
    Proceso p = deAplicacion(*app);
    p.pid = *pid;
    return p;
  }
  const std::string q = minusculas(*para);
  for (const auto& app : espacio.aplicaciones()) {
    const std::string n = minusculas(app.nombre.value_or(""));
    const std::string b = minusculas(app.bundle.value_or(""));
    if (n == q || b == q || contiene(n, q) || contiene(b, q)) return deAplicacion(app);
  }
  fallo("no encontré ninguna app que coincida con «" + *para + "»");
}

Json comandoFrontmost(const Argumentos&, Escritorio& escritorio) {
  const Proceso p = proceso(escritorio.espacio(), std::nullopt);
  return {{"ok", true}, {"app", p.nombre}, {"bundle", p.bundle}};
}

}  // namespace tildo
