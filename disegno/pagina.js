// The route page's script: pointer readout, zoom and pan of the plan and of
// the profile, the stretch of the profile marked on the plan, the kilometre
// axis. Everything drawn is already in the page; the script only moves it.
// Query parameters: ?metri=M shows the readout at chainage M, ?da=A&a=B shows
// the profile from A to B metres. When the script has finished, the <html>
// element carries data-stato="pronto" (or "errore" and data-errore).
(function () {
  'use strict';
  var radice = document.documentElement;
  var SVG = 'http://www.w3.org/2000/svg';

  function segnalaErrore(testo) {
    radice.setAttribute('data-stato', 'errore');
    radice.setAttribute('data-errore', String(testo));
  }
  window.addEventListener('error', function (e) {
    segnalaErrore(e.message);
  });

  var D = JSON.parse(document.getElementById('dati').textContent);
  var PASSO = D.passo;

  // ---- small helpers ------------------------------------------------------

  function decimale(x, cifre) {
    return x.toFixed(cifre).replace('.', ',').replace(/^-(0,?0*)$/, '$1');
  }
  function progressiva(m) {
    var a = Math.abs(Math.round(m));
    var resto = String(a % 1000);
    while (resto.length < 3) resto = '0' + resto;
    return (m < 0 ? '-' : '') + Math.floor(a / 1000) + '+' + resto;
  }
  // The last index i of the sorted values taken every `passo` items from
  // `lista` with lista[i * passo] <= x; -1 when there is none.
  function ultimoNonOltre(lista, passo, x) {
    var basso = 0, alto = lista.length / passo - 1, trovato = -1;
    while (basso <= alto) {
      var medio = (basso + alto) >> 1;
      if (lista[medio * passo] <= x) {
        trovato = medio;
        basso = medio + 1;
      } else {
        alto = medio - 1;
      }
    }
    return trovato;
  }
  function elemento(nome, classe, testo) {
    var e = document.createElement(nome);
    if (classe) e.className = classe;
    if (testo !== undefined) e.textContent = testo;
    return e;
  }
  function nodoSvg(nome, attributi) {
    var e = document.createElementNS(SVG, nome);
    for (var k in attributi) e.setAttribute(k, attributi[k]);
    return e;
  }
  function limita(x, basso, alto) {
    return Math.max(basso, Math.min(alto, x));
  }
  function numeri(testo) {
    var parti = testo.trim().split(/[\s,]+/), r = new Float64Array(parti.length);
    for (var i = 0; i < parti.length; i++) r[i] = +parti[i];
    return r;
  }

  // ---- what a cell holds --------------------------------------------------

  var celleTotali = D.celle;
  function valoreTratto(serie, k) {
    var i = ultimoNonOltre(serie, 2, k);
    return i < 0 ? 0 : serie[2 * i + 1];
  }
  function eventoDi(k) {
    var basso = 0, alto = D.eventi.length - 1;
    while (basso <= alto) {
      var medio = (basso + alto) >> 1, c = D.eventi[medio][0];
      if (c === k) return D.eventi[medio];
      if (c < k) basso = medio + 1;
      else alto = medio - 1;
    }
    return null;
  }
  function quotaAl(m) {
    var q = D.quote, i = ultimoNonOltre(q, 2, m);
    if (i < 0) return 0;
    if (2 * i + 2 >= q.length) return q[2 * i + 1] / 100;
    var m0 = q[2 * i], m1 = q[2 * i + 2], c0 = q[2 * i + 1], c1 = q[2 * i + 3];
    return (c0 + (c1 - c0) * (m - m0) / (m1 - m0)) / 100;
  }
  function campo(nome, valore, unita) {
    var riga = elemento('div', 'campo');
    riga.appendChild(elemento('span', 'nome', nome));
    riga.appendChild(elemento('span', 'valore', String(valore) + (unita ? ' ' + unita : '')));
    return riga;
  }

  var lettura = document.getElementById('lettura_testo');
  var metroMostrato = null;

  function mostra(m) {
    if (celleTotali === 0) return;
    var k = limita(Math.floor(m / PASSO), 0, celleTotali - 1);
    metroMostrato = m;
    lettura.textContent = '';
    var dove = elemento('p', 'dove');
    dove.appendChild(elemento('b', null, Math.round(m) + ' m'));
    dove.appendChild(elemento('span', 'tenue', ' progressiva ' + progressiva(m)));
    lettura.appendChild(dove);
    lettura.appendChild(elemento('p', 'cella', 'cella ' + k + ', da ' + k * PASSO + ' a ' +
                                                   (k + 1) * PASSO + ' m'));

    var ev = eventoDi(k);
    var schema = ev ? D.schemi[ev[1]] : null;
    lettura.appendChild(elemento('h3', 'tipo' + (ev ? ' evento' : ''), schema ? schema[0] : 'nessun evento'));
    if (ev) {
      var campiEvento = elemento('div', 'campi');
      for (var i = 0; i < schema[1].length; i++)
        campiEvento.appendChild(campo(schema[1][i][0], ev[2 + i], schema[1][i][1]));
      // A board's text, a stop's station name.
      if (schema[2]) campiEvento.appendChild(campo(schema[2], ev[2 + schema[1].length], ''));
      lettura.appendChild(campiEvento);
    }

    lettura.appendChild(elemento('h3', null, 'valori del tratto'));
    var campiTratto = elemento('div', 'campi');
    for (var j = 0; j < D.tratto.campi.length; j++)
      campiTratto.appendChild(campo(D.tratto.campi[j][0], valoreTratto(D.tratto.tratti[j], k),
                                    D.tratto.campi[j][1]));
    campiTratto.appendChild(campo('quota', decimale(quotaAl(m), 2), 'm'));
    lettura.appendChild(campiTratto);

    for (var s = 0; s < D.stazioni.length; s++) {
      var st = D.stazioni[s];
      if (m >= st[1] && m < st[2])
        lettura.appendChild(elemento('p', 'zona', 'zona della stazione ' + st[0] + ' (' +
                                                       st[1] + '\u2013' + st[2] + ' m)'));
    }
    var righe = null;
    if (D.provenienza) {
      var tratto = ultimoNonOltre(D.provenienza.tratti, 2, k);
      righe = tratto < 0 ? [] : D.provenienza.tratti[2 * tratto + 1].map(function (i) {
        return D.provenienza.testi[i];
      });
    }
    lettura.appendChild(elemento('h3', null, 'righe delle sorgenti'));
    if (righe && righe.length) {
      var elenco = elemento('ul', 'provenienza');
      for (var r = 0; r < righe.length; r++) elenco.appendChild(elemento('li', null, righe[r]));
      lettura.appendChild(elenco);
    } else {
      lettura.appendChild(elemento('p', 'tenue', D.provenienza ? 'nessuna riga registrata'
                                                              : 'non disponibili'));
    }
    cursoreProfilo(m);
    cursorePianta(m);
  }

  // ---- the plan -------------------------------------------------------------

  var pianta = document.getElementById('pianta');
  var linea = document.getElementById('tracciato');
  var X = [], Y = [], Mt = [];
  if (linea) {
    var coppie = numeri(linea.getAttribute('points'));
    X = new Float64Array(coppie.length / 2);
    Y = new Float64Array(coppie.length / 2);
    for (var p = 0; p < X.length; p++) {
      X[p] = coppie[2 * p];
      Y[p] = coppie[2 * p + 1];
    }
    Mt = numeri(linea.getAttribute('data-metri'));
  }
  var inquadraturaIntera = pianta ? pianta.getAttribute('viewBox').split(' ').map(Number) : null;
  var vistaPianta = inquadraturaIntera ? inquadraturaIntera.slice() : null;
  var ingrandimentoMassimo = pianta ? +pianta.getAttribute('data-ingrandimento-massimo') : 1;
  // The names' size as a part of the width shown: the plan scales as a whole,
  // on the screen and on paper alike.
  var corpo = pianta ? +pianta.getAttribute('data-corpo') : 1;

  // The track's point at chainage m, between the two drawn points around it.
  function puntoAl(m) {
    if (!Mt.length) return null;
    var i = ultimoNonOltre(Mt, 1, m);
    if (i < 0) return [X[0], Y[0]];
    if (i >= Mt.length - 1) return [X[Mt.length - 1], Y[Mt.length - 1]];
    var f = (m - Mt[i]) / (Mt[i + 1] - Mt[i]);
    return [X[i] + (X[i + 1] - X[i]) * f, Y[i] + (Y[i + 1] - Y[i]) * f];
  }
  // The track from chainage da to a: f(x, y) for its point at da, the drawn
  // points between and its point at a.
  function perPuntiTra(da, a, f) {
    var primo = puntoAl(da), ultimo = puntoAl(a);
    if (!primo) return;
    f(primo[0], primo[1]);
    for (var i = Math.max(0, ultimoNonOltre(Mt, 1, da) + 1); i < Mt.length && Mt[i] < a; i++)
      f(X[i], Y[i]);
    f(ultimo[0], ultimo[1]);
  }
  function puntiTra(da, a) {
    var punti = [];
    perPuntiTra(da, a, function (x, y) { punti.push(x + ',' + y); });
    return punti.join(' ');
  }
  function pixelPerUnita() {
    var ctm = pianta.getScreenCTM();
    return ctm ? ctm.a : 1;
  }
  function versoPianta(evento) {
    var pt = pianta.createSVGPoint();
    pt.x = evento.clientX;
    pt.y = evento.clientY;
    return pt.matrixTransform(pianta.getScreenCTM().inverse());
  }
  // The chainage of the track's point nearest to (x, y), within `raggio`.
  function metroVicino(x, y, raggio) {
    var migliore = raggio * raggio, metro = null;
    for (var i = 0; i + 1 < X.length; i++) {
      var dx = X[i + 1] - X[i], dy = Y[i + 1] - Y[i], l2 = dx * dx + dy * dy;
      var t = l2 > 0 ? limita(((x - X[i]) * dx + (y - Y[i]) * dy) / l2, 0, 1) : 0;
      var ex = X[i] + dx * t - x, ey = Y[i] + dy * t - y, d2 = ex * ex + ey * ey;
      if (d2 < migliore) {
        migliore = d2;
        metro = Mt[i] + (Mt[i + 1] - Mt[i]) * t;
      }
    }
    return metro;
  }

  var scala = document.getElementById('scala');
  function aggiornaScala(em) {
    if (!scala) return;
    // A round length near a fifth of the plan's width.
    var voluta = vistaPianta[2] / 5, passo = Math.pow(10, Math.floor(Math.log10(voluta)));
    var lunghezza = [1, 2, 5, 10].map(function (f) { return f * passo; })
                        .filter(function (l) { return l <= voluta; }).pop();
    var x = vistaPianta[0] + em, y = vistaPianta[1] + vistaPianta[3] - em;
    var barra = scala.querySelector('path'), testo = scala.querySelector('text');
    barra.setAttribute('d', 'M' + x + ' ' + (y - em / 2.5) + 'V' + y + 'H' + (x + lunghezza) +
                                'V' + (y - em / 2.5));
    testo.setAttribute('x', x + lunghezza / 2);
    testo.setAttribute('y', y - em * 0.6);
    testo.textContent = lunghezza >= 1000 ? lunghezza / 1000 + ' km' : lunghezza + ' m';
  }

  // Labels that would cover one another: the first in the list wins.
  function dirada(etichette) {
    var prese = [];
    for (var i = 0; i < etichette.length; i++) {
      var e = etichette[i];
      e.style.display = '';
      var r = e.getBoundingClientRect();
      if (r.width === 0) continue;
      var libera = prese.every(function (q) {
        return r.right + 3 < q.left || r.left > q.right + 3 || r.bottom < q.top ||
               r.top > q.bottom;
      });
      if (libera) prese.push(r);
      else e.style.display = 'none';
    }
  }

  var etichettePianta = pianta ? Array.prototype.slice.call(pianta.querySelectorAll('text.nome')) : [];
  function aggiornaPianta() {
    if (!pianta) return;
    pianta.setAttribute('viewBox', vistaPianta.join(' '));
    var em = vistaPianta[2] * corpo;
    pianta.style.fontSize = em + 'px';
    aggiornaScala(em);
    dirada(etichettePianta);
  }
  function ingrandimentoPianta() {
    return inquadraturaIntera[2] / vistaPianta[2];
  }
  function zoomPianta(fattore, cx, cy) {
    var nuovo = limita(ingrandimentoPianta() * fattore, 1, ingrandimentoMassimo);
    var w = inquadraturaIntera[2] / nuovo, h = inquadraturaIntera[3] / nuovo;
    vistaPianta = [cx - (cx - vistaPianta[0]) * w / vistaPianta[2],
                   cy - (cy - vistaPianta[1]) * h / vistaPianta[3], w, h];
    aggiornaPianta();
  }
  function inquadraInPianta(da, a) {
    if (!pianta) return;
    var xmin = Infinity, ymin = Infinity, xmax = -Infinity, ymax = -Infinity;
    perPuntiTra(da, a, function (x, y) {
      xmin = Math.min(xmin, x); xmax = Math.max(xmax, x);
      ymin = Math.min(ymin, y); ymax = Math.max(ymax, y);
    });
    var rapporto = inquadraturaIntera[2] / inquadraturaIntera[3];
    var w = Math.max(xmax - xmin, (ymax - ymin) * rapporto) * 1.15;
    w = limita(w, inquadraturaIntera[2] / ingrandimentoMassimo, inquadraturaIntera[2]);
    var h = w / rapporto;
    vistaPianta = [(xmin + xmax - w) / 2, (ymin + ymax - h) / 2, w, h];
    aggiornaPianta();
  }

  var cursorePiantaNodo = document.getElementById('cursore_pianta');
  function cursorePianta(m) {
    if (!cursorePiantaNodo) return;
    var p = puntoAl(m);
    cursorePiantaNodo.setAttribute('d', p ? 'M' + p[0] + ' ' + p[1] + 'h0' : '');
  }

  // ---- the profile ----------------------------------------------------------

  var profilo = document.getElementById('profilo');
  var x0 = profilo ? +profilo.getAttribute('data-x0') : 0;
  var larghezza = profilo ? +profilo.getAttribute('data-larghezza') : 1;
  var metriTotali = profilo ? +profilo.getAttribute('data-metri') : 0;
  var spanMinimo = Math.min(metriTotali, 20 * PASSO);
  var vista = {da: 0, a: metriTotali};
  var fasce = profilo ? profilo.querySelectorAll('svg.fascia') : [];
  // Where labels would cover one another, the more important kind wins,
  // then the one nearer the start.
  var precedenza = {errore: 9, stazioni1: 8, stazioni2: 8, fine: 7, rallentamenti: 6, avvisi: 5,
                    indicatori: 4, abbattimenti: 3, aderenza: 2, asse: 2};
  var etichetteProfilo = profilo ? Array.prototype.slice.call(profilo.querySelectorAll('text[data-m]'))
                                 : [];
  etichetteProfilo.forEach(function (e) {
    e.metro = +e.getAttribute('data-m');
    e.precedenza = precedenza[e.getAttribute('data-gruppo')] || 1;
    e.ancora = e.getAttribute('text-anchor');
    e.spostamento = +(e.getAttribute('dx') || 0);
    e.linea = +e.getAttribute('y');
    e.larghezza = e.getComputedTextLength();
  });
  etichetteProfilo.sort(function (a, b) { return b.precedenza - a.precedenza || a.metro - b.metro; });
  // The bands' titles stay where they are: labels keep off them.
  var titoli = profilo ? Array.prototype.map.call(profilo.querySelectorAll('.titolo_fascia'),
                                                  function (t) {
                                                    var b = t.getBBox();
                                                    return {l: b.x, r: b.x + b.width, t: b.y,
                                                            b: b.y + b.height};
                                                  })
                       : [];

  function xDi(m) {
    return x0 + (m - vista.da) / (vista.a - vista.da) * larghezza;
  }
  function metroDi(x) {
    return vista.da + (x - x0) / larghezza * (vista.a - vista.da);
  }
  function versoProfilo(evento) {
    var pt = profilo.createSVGPoint();
    pt.x = evento.clientX;
    pt.y = evento.clientY;
    return pt.matrixTransform(profilo.getScreenCTM().inverse());
  }

  // Labels in the profile's own units: shown where they fit in the drawing
  // and cover no label shown before them.
  function posizionaEtichette() {
    var prese = titoli.slice();
    for (var i = 0; i < etichetteProfilo.length; i++) {
      var e = etichetteProfilo[i], x = xDi(e.metro), w = e.larghezza;
      var sinistra = (e.ancora === 'start' ? x : e.ancora === 'end' ? x - w : x - w / 2) +
                     e.spostamento;
      var r = {l: sinistra - 2, r: sinistra + w + 2, t: e.linea - 10, b: e.linea + 2};
      // The names above the drawing may reach the profile's edges.
      var sopra = e.linea < 32, minimo = sopra ? 2 : x0 - 12;
      var massimo = sopra ? x0 + larghezza + 8 : x0 + larghezza + 12;
      var visibile = x >= x0 - 1 && x <= x0 + larghezza + 1 && sinistra >= minimo &&
                     sinistra + w <= massimo && prese.every(function (q) {
                       return r.r < q.l || r.l > q.r || r.b < q.t || r.t > q.b;
                     });
      e.setAttribute('x', x);
      e.style.display = visibile ? '' : 'none';
      if (visibile) prese.push(r);
    }
  }

  var asse = document.getElementById('asse_km');
  var righeKm = document.getElementById('righe_km');
  function disegnaAsse() {
    if (!asse) return;
    var span = vista.a - vista.da, voluto = span / (larghezza / 80);
    var passi = [50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000];
    var passo = passi.filter(function (q) { return q >= voluto; })[0] || 500000;
    asse.textContent = '';
    righeKm.textContent = '';
    var y = +asse.getAttribute('data-y');
    var altezza = +righeKm.getAttribute('data-altezza');
    for (var m = Math.ceil(vista.da / passo) * passo; m <= vista.a; m += passo) {
      var x = xDi(m);
      asse.appendChild(nodoSvg('path', {d: 'M' + x + ' ' + y + 'v5'}));
      var t = nodoSvg('text', {x: x, y: y + 16, 'text-anchor': 'middle'});
      t.textContent = passo >= 1000 ? String(m / 1000) : progressiva(m);
      asse.appendChild(t);
      righeKm.appendChild(nodoSvg('path', {d: 'M' + m + ' 0V' + altezza}));
    }
    var unita = nodoSvg('text', {x: 4, y: y + 16});
    unita.textContent = 'km';
    asse.appendChild(unita);
  }

  // The altitude band spans the highest and the lowest point shown, so that
  // a short stretch shows its gradients.
  var fasciaQuota = document.getElementById('fascia_quota');
  function scalaQuota() {
    if (!fasciaQuota) return;
    var alta = Math.max(quotaAl(vista.da), quotaAl(vista.a)), bassa = Math.min(quotaAl(vista.da), quotaAl(vista.a));
    var q = D.quote;
    for (var i = 0; i < q.length; i += 2) {
      if (q[i] <= vista.da || q[i] >= vista.a) continue;
      alta = Math.max(alta, q[i + 1] / 100);
      bassa = Math.min(bassa, q[i + 1] / 100);
    }
    var margine = Math.max((alta - bassa) * 0.08, 5);
    var vb = fasciaQuota.viewBox.baseVal;
    fasciaQuota.setAttribute('viewBox', vb.x + ' ' + (-alta - margine) + ' ' + vb.width + ' ' +
                                            (alta - bassa + 2 * margine));
    var y = +fasciaQuota.getAttribute('y'), h = +fasciaQuota.getAttribute('height');
    var scala = h / (alta - bassa + 2 * margine);
    [['quota_alta', alta, margine], ['quota_bassa', bassa, alta - bassa + margine]].forEach(function (v) {
      var testo = document.getElementById(v[0]);
      testo.textContent = Math.round(v[1]);
      testo.setAttribute('y', y + v[2] * scala + 3.5);
    });
  }

  var trattoMostrato = document.getElementById('tratto_mostrato');
  var testoTratto = document.getElementById('tratto_testo');
  function applicaVista() {
    if (!profilo) return;
    for (var i = 0; i < fasce.length; i++) {
      var vb = fasce[i].viewBox.baseVal;
      fasce[i].setAttribute('viewBox',
                            vista.da + ' ' + vb.y + ' ' + (vista.a - vista.da) + ' ' + vb.height);
    }
    posizionaEtichette();
    disegnaAsse();
    scalaQuota();
    var intera = vista.da <= 0 && vista.a >= metriTotali;
    if (trattoMostrato) trattoMostrato.setAttribute('points', intera ? '' : puntiTra(vista.da, vista.a));
    if (testoTratto)
      testoTratto.textContent = intera ? 'tutto il percorso'
                                       : 'da ' + progressiva(vista.da) + ' a ' + progressiva(vista.a);
    if (metroMostrato !== null) cursoreProfilo(metroMostrato);
  }
  function imposta(da, a) {
    var span = limita(a - da, spanMinimo, metriTotali);
    da = limita(da, 0, metriTotali - span);
    vista = {da: da, a: da + span};
    applicaVista();
  }
  function zoomProfilo(fattore, centro) {
    var span = (vista.a - vista.da) * fattore;
    imposta(centro - (centro - vista.da) * fattore, centro - (centro - vista.da) * fattore + span);
  }

  var cursoreProfiloNodo = document.getElementById('cursore_profilo');
  function cursoreProfilo(m) {
    if (!cursoreProfiloNodo) return;
    var x = xDi(m), dentro = x >= x0 && x <= x0 + larghezza;
    cursoreProfiloNodo.setAttribute('x1', x);
    cursoreProfiloNodo.setAttribute('x2', x);
    cursoreProfiloNodo.style.display = dentro ? '' : 'none';
  }

  // ---- pointer, wheel and drag ----------------------------------------------

  function trascinabile(nodo, muovi, clic) {
    var inizio = null, ultimo = null;
    nodo.addEventListener('pointerdown', function (e) {
      if (e.button !== 0) return;
      inizio = ultimo = {x: e.clientX, y: e.clientY};
      // Keeps the drag going outside the drawing; a pointer the browser no
      // longer tracks cannot be captured, and the drag still works inside.
      try {
        nodo.setPointerCapture(e.pointerId);
      } catch (errore) {
      }
    });
    nodo.addEventListener('pointermove', function (e) {
      if (!inizio) return;
      muovi(e.clientX - ultimo.x, e.clientY - ultimo.y);
      ultimo = {x: e.clientX, y: e.clientY};
    });
    nodo.addEventListener('pointerup', function (e) {
      if (inizio && Math.abs(e.clientX - inizio.x) + Math.abs(e.clientY - inizio.y) < 4) clic(e);
      inizio = null;
    });
  }

  if (profilo && metriTotali > 0) {
    profilo.addEventListener('mousemove', function (e) {
      var p = versoProfilo(e);
      if (p.x >= x0 && p.x <= x0 + larghezza) mostra(metroDi(p.x));
    });
    profilo.addEventListener('wheel', function (e) {
      e.preventDefault();
      zoomProfilo(e.deltaY > 0 ? 1.25 : 0.8, limita(metroDi(versoProfilo(e).x), 0, metriTotali));
    }, {passive: false});
    trascinabile(profilo, function (dx) {
      var k = profilo.getScreenCTM().a;
      var spostamento = dx / k / larghezza * (vista.a - vista.da);
      imposta(vista.da - spostamento, vista.a - spostamento);
    }, function () {});
    var azioni = {
      piu: function () { zoomProfilo(0.5, (vista.da + vista.a) / 2); },
      meno: function () { zoomProfilo(2, (vista.da + vista.a) / 2); },
      tutto: function () { imposta(0, metriTotali); },
      indietro: function () {
        var s = (vista.a - vista.da) / 2;
        imposta(vista.da - s, vista.a - s);
      },
      avanti: function () {
        var s = (vista.a - vista.da) / 2;
        imposta(vista.da + s, vista.a + s);
      },
      inquadra: function () { inquadraInPianta(vista.da, vista.a); },
      pianta_intera: function () {
        if (!pianta) return;
        vistaPianta = inquadraturaIntera.slice();
        aggiornaPianta();
      },
    };
    Array.prototype.forEach.call(document.querySelectorAll('button[data-azione]'), function (b) {
      b.addEventListener('click', azioni[b.getAttribute('data-azione')]);
    });
  }

  // Zooms the profile on a stretch around m: five kilometres, or the width
  // already shown when that is narrower.
  function centraProfilo(m) {
    var span = Math.min(vista.a - vista.da, 5000);
    imposta(m - span / 2, m + span / 2);
    mostra(m);
  }

  if (pianta && X.length) {
    pianta.addEventListener('mousemove', function (e) {
      var p = versoPianta(e), m = metroVicino(p.x, p.y, 30 / pixelPerUnita());
      if (m !== null) mostra(m);
    });
    pianta.addEventListener('wheel', function (e) {
      e.preventDefault();
      var p = versoPianta(e);
      zoomPianta(e.deltaY > 0 ? 0.8 : 1.25, p.x, p.y);
    }, {passive: false});
    trascinabile(pianta, function (dx, dy) {
      var k = pixelPerUnita();
      vistaPianta[0] -= dx / k;
      vistaPianta[1] -= dy / k;
      aggiornaPianta();
    }, function (e) {
      var p = versoPianta(e), m = metroVicino(p.x, p.y, 30 / pixelPerUnita());
      if (m !== null) centraProfilo(m);
    });
  }
  Array.prototype.forEach.call(document.querySelectorAll('tr[data-metri]'), function (riga) {
    riga.addEventListener('click', function () { centraProfilo(+riga.getAttribute('data-metri')); });
  });

  window.addEventListener('resize', aggiornaPianta);
  window.addEventListener('beforeprint', aggiornaPianta);
  window.addEventListener('afterprint', aggiornaPianta);

  // ---- start ------------------------------------------------------------------

  var domanda = new URLSearchParams(location.search);
  aggiornaPianta();
  if (domanda.has('da') && domanda.has('a')) imposta(+domanda.get('da'), +domanda.get('a'));
  else applicaVista();
  if (domanda.has('metri')) mostra(+domanda.get('metri'));

  function riquadro(id) {
    var nodo = document.getElementById(id);
    if (!nodo) return '';
    var r = nodo.getBoundingClientRect();
    return [r.left + scrollX, r.top + scrollY, r.width, r.height].map(Math.round).join(' ');
  }
  radice.setAttribute('data-riquadro-pianta', riquadro('pianta'));
  radice.setAttribute('data-riquadro-profilo', riquadro('profilo'));
  void document.body.offsetHeight;
  radice.setAttribute('data-tempo-ms', String(Math.round(performance.now())));
  if (radice.getAttribute('data-stato') !== 'errore') radice.setAttribute('data-stato', 'pronto');
})();
