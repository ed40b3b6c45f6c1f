#pragma once
// An AT-SPI object as an element of the accessibility port, read by attribute name.

#include <atspi/atspi-constants.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/accesibilidad.h"
#include "desktop/atspi/gtk4.h"
#include "desktop/atspi/lote.h"
#include "desktop/atspi/sesion.h"
#include "desktop/atspi/vista.h"
#include "desktop/pantallas.h"

namespace tildo::atspi {

// How many siblings ahead of the one being read have their questions in flight: enough to
// keep the application busy, few enough to stay under the bus's limit of pending replies.
constexpr size_t ADELANTO = 4;
// How many siblings ahead of the one whose place in the view is being decided have their
// first questions in flight: every child is looked at, so more are worth asking at once.
constexpr size_t ADELANTO_DE_PRESENCIA = 32;
// The children of one element whose place in the view is decided: past them, the rest are
// given as the application gives them, so that a list of 100 000 rows does not cost 100 000
// reads to a walk that looks at 600.
constexpr size_t PRESENCIAS_MAXIMAS = 1000;

class ElementoAtspi;

// The children of one element, asked for a few at a time as the walk goes through them.
struct Hermanos {
  std::vector<std::weak_ptr<ElementoAtspi>> lista;
  void adelantar(size_t desde, size_t cuantos = ADELANTO);
  // The second questions of those whose first answers are already in.
  void completarListos(size_t desde);
};

class ElementoAtspi : public Elemento {
 public:
  ElementoAtspi(std::shared_ptr<SesionAtspi> s, Objeto o, std::optional<int32_t> pid = {})
      : s_(std::move(s)), o_(std::move(o)), pid_(pid) {}

  std::optional<Valor> atributo(std::string_view nombre) override;
  std::optional<std::vector<std::string>> acciones() override;
  int realizar(std::string_view accion) override;
  int fijar(std::string_view, const Valor&) override { return AX_ERROR; }
  void anticipar(int64_t profundidad, std::function<bool(const Resumen&)> entero) override;
  std::string identidad() const override { return identidadDe(o_); }

  void preguntar() {
    if (!lote_) lote_ = nuevoLote();
  }
  void completarSiListo() {
    if (lote_ && !lote_->completo && lote_->basicoListo()) completar(bus(), o_, *lote_);
  }
  // Where it stands among the children a user sees (an application's are all its windows).
  Presencia presencia(bool deAplicacion);
  void hermanos(std::shared_ptr<Hermanos> h, size_t i) {
    hermanos_ = std::move(h);
    indice_ = i;
  }

 private:
  atspi::Bus& bus() const { return *s_->bus; }
  Kit kit() const { return s_->kitDeApp(o_.bus); }
  std::shared_ptr<Lote> nuevoLote() {
    auto l = pedirLote(bus(), o_, kit());
    l->enPagina = enPagina_;
    return l;
  }
  // The answers for this read: each batch serves every attribute once; a second read of the
  // same attribute asks afresh, so a moving element is seen moving.
  Lote& lote(std::string_view nombre) {
    if (hermanos_) {
      hermanos_->adelantar(indice_ + 1);
      grupo_ = std::move(hermanos_);
    }
    if (!lote_ || lote_->servidos.count(nombre)) lote_ = nuevoLote();
    lote_->servidos.emplace(nombre);
    return *lote_;
  }
  // The batch for a read that needs the second questions answered too.
  Lote& loteCompleto(std::string_view nombre) {
    Lote& l = lote(nombre);
    completar(bus(), o_, l);
    if (grupo_) grupo_->completarListos(indice_ + 1);
    return l;
  }
  AtspiRole rol(Lote& l) {
    // An element keeps its role for life.
    if (!rol_) rol_ = static_cast<AtspiRole>(l.rolAtspi().value_or(ATSPI_ROLE_INVALID));
    return *rol_;
  }
  std::optional<std::vector<uint32_t>> estados(std::string_view nombre) {
    return lote(nombre).estadosAtspi();
  }
  // Before the children or the focus of a Chromium application are read: its windows' content
  // is there, asked for when it was not (a walk then asks ahead again).
  void despertar();
  std::optional<Valor> ventanas(std::string_view nombre);
  ElementoRef enfocado();
  std::vector<std::string> nombresCrudos();
  // The children as the application gives them, before hidden and layout ones are dealt with.
  std::optional<std::vector<std::shared_ptr<ElementoAtspi>>> hijosCrudos();

  std::shared_ptr<SesionAtspi> s_;
  Objeto o_;
  std::optional<int32_t> pid_;  // set on application elements
  bool enPagina_ = false;       // inside a web page, as far as the walk that reached it knows
  bool despierta_ = false;
  std::optional<int64_t> profundidad_;          // of the walk asked ahead from this element
  std::function<bool(const Resumen&)> entero_;  // and which elements it reads whole
  std::optional<AtspiRole> rol_;
  std::shared_ptr<Lote> lote_;
  std::shared_ptr<Hermanos> hermanos_;  // until the first read asks ahead
  std::shared_ptr<Hermanos> grupo_;
  size_t indice_ = 0;
};
}  // namespace tildo::atspi
