#!/usr/bin/python3
"""A long local page for Firefox: a heading, a form and N list items, each with a link, a
button and a check box, printed as HTML."""
import sys

n = int(sys.argv[1]) if len(sys.argv) > 1 else 150
print('<!DOCTYPE html><html lang="es"><head><meta charset="utf-8">'
      '<title>Página larga de prueba</title></head><body>')
print('<h1>Página larga de prueba</h1>')
print('<form><label>Nombre <input type="text" placeholder="Escribe aquí"></label> '
      '<button type="button">Enviar</button></form>')
print('<ul>')
for i in range(n):
    print(f'<li>Elemento {i} <a href="#e{i}">enlace {i}</a> '
          f'<button type="button">Botón {i}</button> '
          f'<label><input type="checkbox"> opción {i}</label></li>')
print('</ul></body></html>')
