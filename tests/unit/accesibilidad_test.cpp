// Readers, records, the walk, the search and the settling wait against in-process elements.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "ax/accessibility/arbol.h"
#include "ax/accessibility/busqueda.h"
#include "ax/accessibility/lectores.h"
#include "ax/frame/aplicaciones.h"
#include "common/numeros.h"
#include "falsos.h"

namespace tildo {
namespace {

// An element with fixed attributes that writes down every read it answers.
class ElementoFalso : public Elemento {
 public:
  ElementoFalso(std::string nombre, std::vector<std::string>* lecturas = nullptr)
      : nombre_(std::move(nombre)), lecturas_(lecturas) {}

  std::map<std::string, Valor, std::less<>> atributos;
  std::optional<std::vector<std::string>> nombresDeAcciones;
  std::vector<Punto> posiciones;  // successive AXPosition reads, the last one sticking
  size_t leidas = 0;

  std::optional<Valor> atributo(std::string_view nombre) override {
    if (lecturas_) lecturas_->push_back(nombre_ + ":" + std::string(nombre));
    if (nombre == "AXPosition" && !posiciones.empty())
      return posiciones[std::min(leidas++, posiciones.size() - 1)];
    auto it = atributos.find(nombre);
    if (it == atributos.end()) return std::nullopt;
    return it->second;
  }
  std::optional<std::vector<std::string>> acciones() override {
    if (lecturas_) lecturas_->push_back(nombre_ + ":acciones");
    return nombresDeAcciones;
  }
  int realizar(std::string_view) override { return AX_EXITO; }
  int fijar(std::string_view, const Valor&) override { return AX_ERROR; }
  void anticipar(int64_t, std::function<bool(const Resumen&)> e) override { entero = e; }
  std::string identidad() const override { return id; }
  std::string id;                              // none: the element cannot tell who it is
  std::function<bool(const Resumen&)> entero;  // as the walk that starts here gives it

  ElementoFalso& hijo(const std::string& nombre) {
    auto h = std::make_shared<ElementoFalso>(nombre, lecturas_);
    auto& lista = atributos["AXChildren"];
    if (!std::holds_alternative<std::vector<ElementoRef>>(lista))
      lista = std::vector<ElementoRef>{};
    std::get<std::vector<ElementoRef>>(lista).push_back(h);
    return *h;
  }

 private:
  std::string nombre_;
  std::vector<std::string>* lecturas_;
};

TEST(Lectores, TextosNumerosYBooleanos) {
  ElementoFalso e("e");
  e.atributos = {{"vacio", std::string()},
                 {"uno", int64_t{1}},
                 {"medio", 0.5},
                 {"entero", 3.0},
                 {"si", true},
                 {"dos", int64_t{2}},
                 {"punto", Punto{1, 2}},
                 {"texto", std::string("hola")}};
  EXPECT_EQ(texto(e, "vacio"), std::nullopt);
  EXPECT_EQ(texto(e, "entero"), "3");
  EXPECT_EQ(texto(e, "si"), "1");
  EXPECT_EQ(texto(e, "punto"), std::nullopt);
  EXPECT_EQ(texto(e, "falta"), std::nullopt);
  EXPECT_EQ(booleano(e, "si"), true);
  EXPECT_EQ(booleano(e, "uno"), true);
  EXPECT_EQ(booleano(e, "dos"), std::nullopt);
  EXPECT_EQ(booleano(e, "texto"), std::nullopt);
  EXPECT_FALSE(punto(e, "medio").has_value());
  EXPECT_EQ(punto(e, "punto")->y, 2);
  EXPECT_FALSE(medidas(e, "punto").has_value());
  EXPECT_TRUE(acciones(e).empty());
}

TEST(Lectores, RegistroSueltoSinTamanoNiPosicion) {
  ElementoFalso e("e");
  e.atributos = {{"AXPosition", Punto{10.5, 20.4}},
                 {"AXSize", Medidas{0, 0}},
                 {"AXFocused", false},
                 {"AXEnabled", false},
                 {"AXValue", std::string(450, 'x')},
                 {"AXPlaceholderValue", std::string(450, 'p')}};
  Json r = nodoSuelto(e);
  EXPECT_EQ(r, (Json{{"rol", ""},
                     {"x", 11},
                     {"y", 20},
                     {"habilitado", false},
                     {"acciones", Json::array()},
                     {"valor", std::string(400, 'x')},
                     {"pista", std::string(450, 'p')}}));

  auto padre = std::make_shared<ElementoFalso>("padre");
  ElementoFalso sinPosicion("s");
  sinPosicion.atributos = {{"AXSize", Medidas{5, 5}}, {"AXParent", ElementoRef(padre)}};
  r = nodoSuelto(sinPosicion);
  EXPECT_FALSE(r.contains("ancho"));
  EXPECT_EQ(r["padre_rol"], "");

  ElementoFalso raro("r");
  raro.atributos = {{"AXPosition", Punto{std::nan(""), 1e300}}, {"AXSize", Medidas{41, 21}}};
  r = nodoSuelto(raro);
  EXPECT_EQ(r, (Json{{"rol", ""}, {"acciones", Json::array()}, {"ancho", 41}, {"alto", 21}}));
}

TEST(Recorrido, OrdenDeLecturasYRolesQueCuentan) {
  std::vector<std::string> lecturas;
  ElementoFalso app("app", &lecturas);
  app.atributos["AXRole"] = std::string("AXApplication");
  auto& grupo = app.hijo("grupo");
  grupo.atributos["AXRole"] = std::string("AXGroup");
  grupo.atributos["AXHelp"] = std::string("solo ayuda");
  auto& boton = grupo.hijo("boton");
  boton.atributos["AXRole"] = std::string("AXButton");
  auto& clave = grupo.hijo("clave");
  clave.atributos["AXRole"] = std::string("AXSecureTextField");
  Json lista = Json::array();
  recorrer(app, 0, 6, 400, lista);
  const std::vector<std::string> esperadas = {
      "app:AXRole",    "app:AXTitle",   "app:AXValue",    "app:AXDescription",
      "app:AXHelp",    "app:AXSubrole", "app:AXPosition", "app:AXSize",
      "app:AXEnabled", "app:AXFocused", "app:acciones",   "app:AXChildren"};
  EXPECT_EQ(std::vector<std::string>(lecturas.begin(), lecturas.begin() + 12), esperadas);
  // The group is not listed: read for its role and texts, then for its children only.
  const std::vector<std::string> delGrupo = {
      "grupo:AXRole", "grupo:AXTitle",   "grupo:AXValue",   "grupo:AXDescription",
      "grupo:AXHelp", "grupo:AXSubrole", "grupo:AXChildren"};
  EXPECT_EQ(std::vector<std::string>(lecturas.begin() + 12, lecturas.begin() + 19), delGrupo);
  EXPECT_EQ(lecturas.at(19 + 6), "boton:AXPosition");
  ASSERT_EQ(lista.size(), 3u);
  EXPECT_EQ(lista[1]["rol"], "AXButton");
}

// The backend asks ahead the frame, states and actions of those elements only that the walk
// lists, told from their role and texts as the walk reads them.
TEST(Recorrido, LoQueSeLeeEnteroSeDiceAlAnticipar) {
  ElementoFalso app("app");
  Json lista = Json::array();
  recorrer(app, 0, 6, 400, lista);
  ASSERT_TRUE(app.entero);
  auto entero = [&](Resumen r) { return app.entero(r); };
  EXPECT_FALSE(entero({}));
  EXPECT_FALSE(entero({.rol = Valor(std::string("AXGroup"))}));
  // Empty texts are no texts; a number, a boolean or a key role is enough.
  EXPECT_FALSE(entero({.rol = Valor(std::string("AXList")),
                       .titulo = Valor(std::string()),
                       .valor = Valor(std::string()),
                       .descripcion = Valor(std::string())}));
  EXPECT_TRUE(entero({.titulo = Valor(std::string("Guardar"))}));
  EXPECT_TRUE(entero({.valor = Valor(int64_t{0})}));
  EXPECT_TRUE(entero({.valor = Valor(false)}));
  EXPECT_TRUE(entero({.descripcion = Valor(std::string("d"))}));
  EXPECT_TRUE(entero({.rol = Valor(std::string("AXCheckBox"))}));
}

TEST(Recorrido, ElTopeDejaDeLeer) {
  std::vector<std::string> lecturas;
  ElementoFalso app("app", &lecturas);
  for (int i = 0; i < 5; ++i)
    app.hijo("b" + std::to_string(i)).atributos["AXRole"] = std::string("AXButton");
  Json lista = Json::array();
  recorrer(app, 0, 6, 3, lista);
  EXPECT_EQ(lista.size(), 3u);
  // The third child is never read once the list is full.
  for (const auto& l : lecturas) EXPECT_EQ(l.rfind("b2:", 0), std::string::npos) << l;
}

TEST(Recorrido, UnArbolQueSeContieneASiMismoTerminaEnElNivelMasHondo) {
  auto raiz = std::make_shared<ElementoFalso>("raiz");
  raiz->atributos["AXChildren"] = std::vector<ElementoRef>{raiz};
  Json lista = Json::array();
  recorrer(*raiz, 0, INT64_MAX, 1000, lista);
  ASSERT_EQ(lista.size(), 1u);
  raiz->atributos["AXTitle"] = std::string("t");
  recorrer(*raiz, 0, INT64_MAX, 1000, lista);
  EXPECT_EQ(lista.size(), 1u + NIVEL_MAS_HONDO + 1);
  EXPECT_EQ(lista.back()["nivel"], NIVEL_MAS_HONDO);
  raiz->atributos.erase("AXChildren");  // breaks the ownership cycle
}

// Loops and second parents, with elements that can tell who they are: each is walked once, the
// first time it is reached, and the search looks at each once.
TEST(Recorrido, UnElementoQueVuelveSeRecorreUnaVez) {
  std::vector<std::string> lecturas;
  auto raiz = std::make_shared<ElementoFalso>("raiz", &lecturas);
  auto a = std::make_shared<ElementoFalso>("a", &lecturas);
  auto b = std::make_shared<ElementoFalso>("b", &lecturas);
  raiz->id = "app r";
  a->id = "app a";
  b->id = "app b";
  for (auto* e : {raiz.get(), a.get(), b.get()}) e->atributos["AXTitle"] = e->id;
  // raiz holds a and b; a holds raiz and b; b holds itself and a.
  raiz->atributos["AXChildren"] = std::vector<ElementoRef>{a, b};
  a->atributos["AXChildren"] = std::vector<ElementoRef>{raiz, b};
  b->atributos["AXChildren"] = std::vector<ElementoRef>{b, a};
  Json lista = Json::array();
  recorrer(*raiz, 0, INT64_MAX, 1000, lista);
  ASSERT_EQ(lista.size(), 3u) << lista.dump();
  EXPECT_EQ(lista[0]["titulo"], "app r");
  EXPECT_EQ(lista[1]["titulo"], "app a");
  EXPECT_EQ(lista[1]["nivel"], 1);
  EXPECT_EQ(lista[2]["titulo"], "app b");
  EXPECT_EQ(lista[2]["nivel"], 2);

  lecturas.clear();
  Busqueda nadie("nada");
  nadie.buscar(raiz, 0);
  EXPECT_EQ(nadie.encontrado(), nullptr);
  EXPECT_EQ(std::count(lecturas.begin(), lecturas.end(), "b:AXChildren"), 1);
  for (auto* e : {raiz.get(), a.get(), b.get()}) e->atributos.erase("AXChildren");
}

TEST(Busqueda, ValoresEnterosYPlegadoDeMayusculas) {
  auto otra = std::make_shared<ElementoFalso>("a");
  otra->hijo("largo").atributos["AXValue"] = std::string(500, 'x') + "Aguja";
  Busqueda aguja("aguja");
  aguja.buscar(otra, 0);
  EXPECT_NE(aguja.encontrado(), nullptr);
  EXPECT_TRUE(coincide("straße", {"STRASSE", "Straße"}));
  EXPECT_FALSE(coincide("button", {}));
}

// An element that settles after two readings, one with no size, and no readings at all.
TEST(Quietud, LlegaSinTamanoOSinLecturas) {
  EntradaFalsa entrada;
  ElementoFalso llega("l");
  llega.atributos = {{"AXSize", Medidas{10, 10}}};
  llega.posiciones = {{0, 0}, {10, 0}, {11, 1}};
  auto r = centroQuieto(llega, entrada);
  EXPECT_TRUE(r.quieto);
  EXPECT_EQ(r.centro.x, 16);
  EXPECT_EQ(entrada.pausas.size(), 2u);

  ElementoFalso sinTamano("s");
  sinTamano.atributos = {{"AXPosition", Punto{1, 1}}};
  r = centroQuieto(sinTamano, entrada, 6, 1);
  EXPECT_FALSE(r.quieto);
  EXPECT_EQ(r.centro.x, 0);
  ElementoFalso quieto("q");
  quieto.atributos = {{"AXPosition", Punto{100, 50}}, {"AXSize", Medidas{41, 21}}};
  r = centroQuieto(quieto, entrada, 0, 1);
  EXPECT_EQ(r.centro.x, 0);
}

// A process without a name or bundle, and a number too large for a pid taken as a name.
TEST(Proceso, SinNombreYNumeroQueEsNombre) {
  EspacioFalso espacio;
  espacio.apps = {{123, std::nullopt, std::nullopt},
                  {7, "Mailer 99999999999", "org.ejemplo.mailer"}};
  const Proceso sinNombre = proceso(espacio, "123");
  EXPECT_EQ(sinNombre.nombre, "?");
  EXPECT_EQ(sinNombre.bundle, "?");
  EXPECT_EQ(proceso(espacio, "99999999999").pid, 7);
}

}  // namespace
}  // namespace tildo
