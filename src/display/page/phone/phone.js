// The phones' page: reads /board.json every few seconds (the server answers "not modified"
// while nothing changed), draws one column per game, and marks the rows whose name starts
// with what the player typed. Names are only ever set as text, never as markup.
(function () {
  'use strict';
  var REFRESH_MS = 3000;
  var board = null;
  var boardEl = document.getElementById('board');
  var statusEl = document.getElementById('status');
  var findEl = document.getElementById('find');
  var foundEl = document.getElementById('found');

  function el(tag, cls, text) {
    var node = document.createElement(tag);
    if (cls) node.className = cls;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  // Letter case and accents aside: "ade" finds "Adèle".
  function folded(text) {
    var plain = String(text).toLowerCase();
    return plain.normalize ? plain.normalize('NFD').replace(/[\u0300-\u036f]/g, '') : plain;
  }

  function matches(name, typed) {
    if (!typed) return false;
    var words = folded(name).split(/\s+/);
    if (folded(name).indexOf(typed) === 0) return true;
    for (var i = 0; i < words.length; i++) if (words[i].indexOf(typed) === 0) return true;
    return false;
  }

  function waited(added, now) {
    if (!added) return '';
    var minutes = Math.max(0, Math.floor((now - Date.parse(added)) / 60000));
    if (isNaN(minutes)) return '';
    if (minutes < 60) return minutes + ' min';
    var rest = minutes % 60;
    return Math.floor(minutes / 60) + ' h ' + (rest < 10 ? '0' : '') + rest;
  }

  // "4:07" for a number of seconds, never below 0:00.
  function clock(seconds) {
    seconds = Math.max(0, Math.floor(seconds));
    var rest = seconds % 60;
    return Math.floor(seconds / 60) + ':' + (rest < 10 ? '0' : '') + rest;
  }

  // A call counts down to its end, an away up from its start; both move by the second.
  function floorTime(player, now) {
    var ends = player.callEnds ? Date.parse(player.callEnds) : NaN;
    if (!isNaN(ends)) return 'called ' + clock((ends - now) / 1000);
    var away = player.away ? Date.parse(player.away) : NaN;
    return isNaN(away) ? '' : 'away ' + clock((now - away) / 1000);
  }

  var vibrated = {};

  function ordinal(n) {
    var tens = n % 100, ones = n % 10;
    if (tens >= 11 && tens <= 13) return n + 'th';
    return n + (ones === 1 ? 'st' : ones === 2 ? 'nd' : ones === 3 ? 'rd' : 'th');
  }

  function draw() {
    if (!board) return;
    var typed = folded(findEl.value.trim());
    var now = Date.now();
    var found = [];
    var first = null;
    var calling = [];
    ticking = false;
    var games = board.games || [];
    boardEl.textContent = '';
    if (!games.length) boardEl.appendChild(el('p', 'empty', 'No waiting lists'));
    games.forEach(function (game, g) {
      var players = game.players || [];
      // A game not running yet stands apart: "Interest: 5/10 PLO", "4 players".
      var section = el('section', 'game' + (game.interest ? ' interest' : ''));
      section.appendChild(el('h2', '', (game.interest ? 'Interest: ' : '') + game.name));
      section.appendChild(el('p', 'count', players.length + (game.interest ? ' players' : ' waiting') +
                                        (game.estimate ? ' \u00b7 ' + game.estimate : '')));
      var list = el('ol');
      players.forEach(function (player, p) {
        var position = player.position || p + 1;
        var row = el('li', 'player' + (player.blink ? ' blink' : '') + (player.callEnds ? ' called' : ''));
        row.id = 'g' + g + 'p' + position;
        row.appendChild(el('span', 'pos', String(position)));
        row.appendChild(el('span', 'name', player.name));
        var marks = (player.star ? '\u2605' : '') + (player.phone ? '\u260E' : '');
        if (marks) row.appendChild(el('span', 'marks', marks));
        var floor = floorTime(player, now);
        if (floor) ticking = true;
        var time = floor || waited(player.added, now);
        if (time) row.appendChild(el('span', 'wait', time));
        if (matches(player.name, typed)) {
          row.className += ' mine';
          found.push({ name: player.name, position: position, game: game.name, id: row.id });
          if (!first) first = row;
          if (player.callEnds) calling.push(player.name + '@' + player.callEnds);
        }
        list.appendChild(row);
      });
      section.appendChild(list);
      boardEl.appendChild(section);
    });
    alertFor(calling);
    foundEl.textContent = '';
    if (typed && !found.length) foundEl.appendChild(el('li', 'empty', 'No name starts with that.'));
    found.slice(0, 8).forEach(function (f) {
      var item = el('li');
      var link = el('a', '', f.name + ': ' + ordinal(f.position) + ' in ' + f.game);
      link.href = '#' + f.id;
      item.appendChild(link);
      foundEl.appendChild(item);
    });
    return first;
  }

  // A followed player called: the page turns red and, once a call, the phone vibrates.
  function alertFor(calling) {
    document.body.classList.toggle('alert', calling.length > 0);
    var fresh = calling.filter(function (key) { return !vibrated[key]; });
    if (fresh.length && navigator.vibrate) navigator.vibrate([400, 200, 400]);
    vibrated = {};
    calling.forEach(function (key) { vibrated[key] = true; });
  }

  var ticking = false;
  window.setInterval(function () { if (ticking) draw(); }, 1000);

  function setStatus(text, problem) {
    statusEl.textContent = text;
    statusEl.className = problem ? 'problem' : '';
  }

  function load() {
    var request = new XMLHttpRequest();
    request.open('GET', 'board.json');
    request.timeout = 8000;
    request.onload = function () {
      if (request.status === 200) {
        try {
          board = JSON.parse(request.responseText);
          draw();
          setStatus('Updated ' + new Date().toLocaleTimeString([], { hour: '2-digit', minute: '2-digit' }), false);
        } catch (e) {
          setStatus('The board could not be read; trying again.', true);
        }
      } else if (request.status !== 304) {
        setStatus('The board is not there; trying again.', true);
      }
      later();
    };
    request.onerror = request.ontimeout = function () {
      setStatus('Cannot reach the board; trying again.', true);
      later();
    };
    request.send();
  }

  function later() { window.setTimeout(load, REFRESH_MS); }

  findEl.value = (window.localStorage && localStorage.getItem('tavlo-name')) || '';
  findEl.addEventListener('input', function () {
    try { localStorage.setItem('tavlo-name', findEl.value); } catch (e) { /* private mode */ }
    var first = draw();
    if (first && first.scrollIntoView) first.scrollIntoView({ block: 'center' });
  });
  load();
})();
