#include "ax/frame/aplicaciones.h"

#include <algorithm>

#include "common/fallo.h"
#include "common/numeros.h"
#include "common/texto.h"

namespace tildo {
namespace {

Proceso deAplicacion(const Aplicacion& app) {
  return {app.pid, app.nombre.value_or("?"), app.bundle.value_or("?")};
}

// The application asked for by pid or as the one in front, which must answer to be used.
Proceso queResponde(const Aplicacion& app) {
  if (!app.responde) fallo("la app «" + app.nombre.value_or("?") + "» no responde");
  return deAplicacion(app);
}

bool contiene(const std::string& texto, const std::string& parte) {
  return texto.find(parte) != std::string::npos;
}

bool coincide(const Aplicacion& app, const std::string& q) {
  const std::string n = minusculas(app.nombre.value_or(""));
  const std::string b = minusculas(app.bundle.value_or(""));
  return n == q || b == q || contiene(n, q) || contiene(b, q);
}

// The first answering application that matches.
const Aplicacion* primeraQueCoincide(const std::vector<Aplicacion>& lista, const std::string& q) {
  for (const auto& app : lista)
    if (app.responde && coincide(app, q)) return &app;
  return nullptr;
}

}  // namespace

Proceso proceso(Espacio& espacio, const std::optional<std::string>& para) {
  if (!para || para->empty()) {
    auto app = espacio.primerPlano();
    if (!app) fallo("no pude leer la app en primer plano");
    return queResponde(*app);
  }
  if (auto pid = leerEntero32(*para)) {
    auto app = espacio.porPid(*pid);
    if (!app) fallo("no hay ningún proceso con pid " + std::to_string(*pid));
    Proceso p = queResponde(*app);
    p.pid = *pid;
    return p;
  }
  const std::string q = minusculas(*para);
  const std::string ninguna = "no encontré ninguna app que coincida con «" + *para + "»";
  auto lista = espacio.aplicaciones();
  if (auto app = primeraQueCoincide(lista, q)) return deAplicacion(*app);
  auto callada = [](const Aplicacion& a) { return !a.responde; };
  if (std::none_of(lista.begin(), lista.end(), callada)) fallo(ninguna);
  // An application that has not answered yet may be the one asked for.
  lista = espacio.aplicacionesEsperando();
  if (auto app = primeraQueCoincide(lista, q)) return deAplicacion(*app);
  std::string calladas;
  for (const auto& app : lista) {
    if (app.responde) continue;
    if (coincide(app, q)) queResponde(app);
    calladas += (calladas.empty() ? "" : ", ") + ("«" + app.nombre.value_or("?") + "»");
  }
  if (calladas.empty()) fallo(ninguna);
  fallo(ninguna + "; no responde: " + calladas);
}

Json comandoFrontmost(const Argumentos&, Escritorio& escritorio) {
  const Proceso p = proceso(escritorio.espacio(), std::nullopt);
  return {{"ok", true}, {"app", p.nombre}, {"bundle", p.bundle}};
}

}  // namespace tildo
