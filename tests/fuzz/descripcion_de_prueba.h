#pragma once
// A simulated desktop with something for every command to find: two applications, a tree with
// buttons and fields, windows that move, refuse writes or are minimised, two screens.

#include "common/json.h"

namespace tildo::fuzz {

inline Json descripcionDePrueba() {
  auto ventana = [](const char* titulo, double x, double y) {
    return Json{{"rol", "AXWindow"},
                {"titulo", titulo},
                {"posicion", {{"x", x}, {"y", y}}},
                {"medidas", {{"ancho", 400}, {"alto", 300}}},
                {"acciones", {"AXRaise"}}};
  };
  Json boton = {{"rol", "AXButton"},
                {"titulo", "Guardar"},
                {"posicion", {{"x", 100}, {"y", 50}}},
                {"medidas", {{"ancho", 41}, {"alto", 21}}},
                {"acciones", {"AXPress"}}};
  Json campo = {{"rol", "AXTextField"},
                {"valor", "hola"},
                {"pista", "Buscar"},
                {"enfocado", true},
                {"posiciones", {{{"x", 5}, {"y", 5}}, {{"x", 9}, {"y", 5}}}},
                {"medidas", {{"ancho", 80}, {"alto", 20}}}};
  Json fallido = {{"rol", "AXButton"},
                  {"descripcion", "Cerrar"},
                  {"acciones", {"AXPress"}},
                  {"acciones_fallidas", {"AXPress"}}};
  Json rechaza = ventana("Fija", 10, 10);
  rechaza["rechaza"] = {"AXPosition", "AXSize"};
  Json minimizada = ventana("Oculta", 0, 0);
  minimizada["minimizado"] = true;
  Json principal = ventana("Nota 1", 20, 30);
  principal["principal"] = true;
  principal["enfocada"] = true;
  return {
      {"puntero", {{"x", 1}, {"y", 2}}},
      {"primer_plano", 10},
      {"pantallas",
       {{{"marco", {{"x", 0}, {"y", 0}, {"ancho", 1440}, {"alto", 900}}},
         {"barra_menus", 25},
         {"dock", {{"lado", "abajo"}, {"grosor", 70}}}},
        {{"marco", {{"x", 1440}, {"y", 0}, {"ancho", 1920}, {"alto", 1080}}}}}},
      {"ventanas_extra", {{{"numero", 1}, {"capa", 24}, {"dueno", "Window Server"}}}},
      {"aplicaciones",
       {{{"pid", 10},
         {"nombre", "Notas"},
         {"bundle", "com.ejemplo.notas"},
         {"arbol",
          {{"rol", "AXApplication"},
           {"titulo", "Notas"},
           {"hijos", {boton, campo, {{"rol", "AXGroup"}, {"hijos", {fallido}}}}}}},
         {"ventanas", {principal, rechaza, minimizada}}},
        {{"pid", 20},
         {"nombre", "Safari"},
         {"arbol", {{"rol", "AXApplication"}}},
         {"ventanas", {ventana("Inicio", -3.7, 0)}}}}}};
}

}  // namespace tildo::fuzz
