// The spectator page and the overlay: draws the state that Orvelle put into the page, then every state
// its event stream sends, and counts the running clock down between them.
'use strict';
(() => {
  const SVG = 'http://www.w3.org/2000/svg';
  const PARTS = ['event', 'names', 'clocks', 'board', 'moves'];
  const data = JSON.parse(document.getElementById('live-data').textContent);
  const texts = data.texts;
  let state = data.state;
  let received = performance.now();
  let online = true;

  const root = document.getElementById('live');
  let parts = root.dataset.parts.split(',');
  const asked = new URLSearchParams(location.search).get('parts');
  if (document.body.classList.contains('overlay') && asked) {
    const chosen = asked.split(',').map((p) => p.trim()).filter((p) => PARTS.includes(p));
    if (chosen.length) parts = chosen;
  }
  for (const part of parts) root.classList.add('with-' + part);
  const has = (part) => parts.includes(part);

  function element(tag, className, parent) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (parent) parent.appendChild(e);
    return e;
  }

  const eventLine = has('event') ? element('header', 'event', root) : null;
  const board = has('board') ? buildBoard(element('div', 'board', root)) : null;
  const players = {};
  if (has('names') || has('clocks')) {
    for (const side of ['black', 'white']) {
      const box = element('div', 'player ' + side, root);
      players[side] = {
        box,
        name: has('names') ? element('span', 'name', box) : null,
        clock: has('clocks') ? element('span', 'clock', box) : null,
        flag: element('span', 'flag', box),
      };
    }
  }
  const status = element('div', 'status', root);
  const moves = has('moves') ? element('ol', 'moves', root) : null;

  function buildBoard(container) {
    const svg = document.createElementNS(SVG, 'svg');
    svg.setAttribute('viewBox', '0 0 8 8');
    svg.setAttribute('role', 'img');
    const squares = {};
    for (let rank = 0; rank < 8; ++rank) {
      for (let file = 0; file < 8; ++file) {
        const square = document.createElementNS(SVG, 'rect');
        square.setAttribute('x', file);
        square.setAttribute('y', 7 - rank);
        square.setAttribute('width', 1);
        square.setAttribute('height', 1);
        square.setAttribute('class', (file + rank) % 2 ? 'light' : 'dark');
        svg.appendChild(square);
        squares['abcdefgh'[file] + (rank + 1)] = square;
      }
    }
    for (let i = 0; i < 8; ++i) {
      label(svg, 'abcdefgh'[i], i + 0.96, 7.96, 'file', i % 2 === 1);
      label(svg, String(8 - i), 0.04, i + 0.22, 'rank', i % 2 === 0);
    }
    const pieces = document.createElementNS(SVG, 'g');
    svg.appendChild(pieces);
    container.appendChild(svg);
    return { svg, squares, pieces };
  }

  function label(svg, text, x, y, kind, onLight) {
    const t = document.createElementNS(SVG, 'text');
    t.setAttribute('x', x);
    t.setAttribute('y', y);
    t.setAttribute('class', 'coordinate ' + kind + (onLight ? ' on-light' : ' on-dark'));
    t.textContent = text;
    svg.appendChild(t);
  }

  function drawBoard() {
    const placement = String(state.fen || '').split(' ')[0].split('/');
    board.pieces.replaceChildren();
    for (let row = 0; row < 8 && row < placement.length; ++row) {
      let file = 0;
      for (const c of placement[row]) {
        if (c >= '1' && c <= '8') {
          file += Number(c);
          continue;
        }
        if (file > 7 || !'pnbrqkPNBRQK'.includes(c)) break;
        const piece = document.createElementNS(SVG, 'image');
        const colour = c === c.toUpperCase() ? 'w' : 'b';
        piece.setAttribute('href', '/pieces/' + colour + c.toUpperCase() + '.svg');
        piece.setAttribute('x', file);
        piece.setAttribute('y', row);
        piece.setAttribute('width', 1);
        piece.setAttribute('height', 1);
        piece.setAttribute('class', 'piece');
        piece.dataset.square = 'abcdefgh'[file] + (8 - row);
        piece.dataset.piece = c;
        board.pieces.appendChild(piece);
        ++file;
      }
    }
    for (const [name, square] of Object.entries(board.squares))
      square.classList.toggle('last', name === state.lastFrom || name === state.lastTo);
  }

  function drawMoves() {
    moves.replaceChildren();
    const list = state.moves || [];
    for (let i = 0; i < list.length; i += 2) {
      const item = element('li', '', moves);
      for (let j = i; j < i + 2 && j < list.length; ++j) {
        const san = element('span', 'san', item);
        san.textContent = list[j];
        if (j === list.length - 1) san.classList.add('last');
      }
    }
    moves.scrollTop = moves.scrollHeight;
  }

  // The time left on a side's clock now: the running clock counts from when the state arrived, after
  // any simple delay is used up.
  function left(side) {
    let ms = state[side].ms;
    if (state.running === side && !state.paused) {
      const elapsed = performance.now() - received;
      ms -= Math.max(0, elapsed - (state.delayMs || 0));
    }
    return ms;
  }

  function clockText(ms) {
    if (ms <= 0) return '0:00';
    const tenths = Math.floor(ms / 100);
    const seconds = Math.floor(ms / 1000);
    const two = (n) => String(n).padStart(2, '0');
    if (seconds >= 3600)
      return Math.floor(seconds / 3600) + ':' + two(Math.floor(seconds / 60) % 60) + ':' + two(seconds % 60);
    if (seconds >= 10) return Math.floor(seconds / 60) + ':' + two(seconds % 60);
    return '0:0' + Math.floor(tenths / 10) + '.' + (tenths % 10);
  }

  function tick() {
    for (const side of Object.keys(players)) {
      const p = players[side];
      const ms = left(side);
      if (p.clock) p.clock.textContent = clockText(ms);
      const flagged = state[side].flag || ms <= 0;
      p.box.classList.toggle('flagged', flagged);
      p.flag.textContent = flagged ? '\u2691 ' + texts.flag : '';
    }
  }

  function draw() {
    if (eventLine) {
      const known = (value) => value && value !== '?';
      const bits = [known(state.event) && state.event, known(state.round) && texts.round.replace('%1', state.round),
                    known(state.board) && texts.board.replace('%1', state.board)];
      eventLine.textContent = bits.filter((bit) => bit).join(' \u00b7 ');
    }
    for (const side of Object.keys(players)) {
      const p = players[side];
      if (p.name) p.name.textContent = state[side].name || texts[side];
      p.box.classList.toggle('running', state.running === side);
    }
    const white = state.white.name || texts.white, black = state.black.name || texts.black;
    document.title = white + ' \u2013 ' + black;
    let words = '';
    if (!online) words = texts.offline;
    else if (state.paused) words = texts.paused;
    else if (state.result && state.result !== '*') words = state.result;
    else if (!state.running && !state.ply) words = texts.waiting;
    status.textContent = words;
    status.classList.toggle('shown', words !== '');
    root.classList.toggle('paused', !!state.paused);
    root.dataset.ply = state.ply;
    if (board) drawBoard();
    if (moves) drawMoves();
    tick();
  }

  draw();
  setInterval(tick, 100);
  const events = new EventSource('/events');
  events.onmessage = (message) => {
    state = JSON.parse(message.data);
    received = performance.now();
    online = true;
    draw();
  };
  events.onerror = () => {
    online = false;
    draw();
  };
})();
