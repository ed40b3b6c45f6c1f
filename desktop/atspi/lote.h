#pragma once
// The questions one read of an element sends at once, so that all its answers cost one wait;
// the second questions that follow once the element's interfaces are known.

#include <atspi/atspi-constants.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "desktop/accesibilidad.h"
#include "desktop/atspi/bus.h"
#include "desktop/atspi/gtk4.h"
#include "desktop/atspi/sesion.h"
#include "desktop/atspi/vista.h"

namespace tildo::atspi {

// Everything the walk asks of one element, sent at once: one wait for all the answers. What
// only some interfaces answer (text, value, actions) follows once the interfaces are known,
// rather than asking every element questions most cannot answer.
struct Lote : std::enable_shared_from_this<Lote> {
  // Properties are asked all in one call on GTK and Chromium, where a call costs the
  // application the same whatever it asks, else one by one: Qt 6.4 applications crash on
  // Properties.GetAll, and an unknown toolkit may too.
  Llamada rol, nombre, descripcion, cuantosHijos, estados, interfaces, extension, hijos;
  Llamada propiedades;
  // What the application's cache said of the element, in place of the first six calls; and
  // its children, when the cached ones add up to its child count.
  std::shared_ptr<const atspi::ItemDeCache> item;
  std::optional<std::vector<Objeto>> hijosDeCache;
  // Not showing, on a toolkit that gives such elements no extents: none are asked for.
  bool sinExtension = false;
  Kit kit = Kit::otro;
  // Inside a web page, where "showing" means scrolled into view: what is below the fold is
  // there for the user to scroll to.
  bool enPagina = false;
  bool deAplicacion = false;  // one of the application's windows, listed whatever its states
  bool completo = false;
  bool sinHijos = false;     // known from the child count, so the list is not asked for
  bool conAcciones = false;  // known from the interfaces, once the second questions are out
  // Asked ahead: whether the frame and the actions are asked is settled.
  bool decidido = false;
  Llamada texto, valor, cuantasAcciones;
  // The action names asked so far, by index: the first ones along with their number, since
  // most elements that act have few; asked ahead, the rest as soon as the number is known.
  // Where GetActions gives the same names, it gives them all.
  std::vector<Llamada> acciones;
  Llamada todasLasAcciones;
  std::set<std::string, std::less<>> servidos;
  // The children's batches, asked ahead of the walk, in the children's order; until the
  // children are handed out.
  std::vector<std::shared_ptr<Lote>> deHijos;
  bool seguido = false;  // its children are being asked ahead
  bool hijosEntregados = false;

  std::optional<uint32_t> rolAtspi() {
    return item ? std::optional<uint32_t>(item->rol) : rol.natural();
  }
  // The name as the element's own, whatever the toolkit makes of a missing one.
  std::optional<std::string> titulo() {
    auto t = item                    ? std::optional<std::string>(item->nombre)
             : propiedades.enviada() ? propiedades.textoEn("Name")
                                     : nombre.texto();
    if (t && kit == Kit::gtk4) return nombreDeGtk4(std::move(*t));
    return t;
  }
  std::optional<std::string> descripcionAtspi() {
    if (item) return item->descripcion;
    return propiedades.enviada() ? propiedades.textoEn("Description") : descripcion.texto();
  }
  std::optional<std::vector<uint32_t>> estadosAtspi() {
    return item ? item->estados : estados.naturales();
  }
  std::optional<std::vector<std::string>> interfacesAtspi() {
    return item ? item->interfaces : interfaces.textos();
  }
  std::optional<int32_t> cuantos() {
    if (item) return item->cuantosHijos;
    return propiedades.enviada() ? propiedades.enteroEn("ChildCount") : cuantosHijos.entero();
  }
  std::optional<atspi::Extension> extensionAtspi() {
    if (sinExtension) return std::nullopt;
    return extension.extension();
  }
  // Whether what decides the second questions is in.
  bool basicoListo() const {
    return item ||
           (interfaces.lista() && rol.lista() && cuantosHijos.lista() && propiedades.lista());
  }
};

Llamada pedirExtension(Bus& bus, const Objeto& o);
// The first questions, and the frame unless `conMarco` is false (pedirMarco asks it later).
std::shared_ptr<Lote> pedirLote(Bus& bus, const Objeto& o, Kit kit, bool conMarco = true);
// The batch of an element the application's cache described: only what the cache lacks is
// asked.
std::shared_ptr<Lote> loteDeCache(Bus& bus, std::shared_ptr<const ItemDeCache> item,
                                  std::optional<std::vector<Objeto>> hijos, Kit kit,
                                  bool conMarco = true);
// The second questions. Asked ahead of the walk, the actions are left to pedirAcciones.
void completar(Bus& bus, const Objeto& o, Lote& l, bool adelantado = false);
// The frame, unless asked already or known to be absent.
void pedirMarco(Bus& bus, const Objeto& o, Lote& l);
// The number of actions and the first `nombres` names (all of them where one call gives them),
// unless asked already; after completar, which tells whether there are any.
void pedirAcciones(Bus& bus, const Objeto& o, Lote& l, int32_t nombres);
// "AXRole" and "AXValue" from the answers, for an element of role `r`.
std::optional<Valor> rolAx(AtspiRole r, Lote& l);
std::optional<Valor> valorAx(AtspiRole r, Lote& l);
// What the element says of itself, its value left out.
Resumen resumenSinValor(Lote& l);
// Whether the element's children are inside a web page: it is in one, or it is one.
bool paginaDeHijos(Lote& l);
// What the first answers say of the element, waited for.
Rasgos rasgosDe(Lote& l);
// Whether those answers are in, so that reading them does not wait.
bool rasgosListos(const Lote& l);
// The text and the number of actions, from the second questions.
void completarRasgos(Lote& l, Rasgos& r);
// The children of an element as its batch gives them, or nothing when they cannot be read.
std::optional<std::vector<Objeto>> hijosDe(Lote& l);

// How many action names are asked ahead at most; an element claiming more gets them asked
// for when they are read.
constexpr int32_t ACCIONES_ADELANTADAS = 64;
// The actions of one element that are read at most: no real element has nearly as many, and an
// application may claim 2^31.
constexpr int32_t ACCIONES_MAXIMAS = 256;
}  // namespace tildo::atspi
