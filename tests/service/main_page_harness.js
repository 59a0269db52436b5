// Drives the main page's script (service/pages/main.html, given as the argument) with a
// minimal document and a recording window.external, the way the program drives it,
// and checks what the page asks of the program. Prints each failure; exits 1 on any.
'use strict';
const fs = require('fs');
const html = fs.readFileSync(process.argv[2], 'utf8');
const script = [...html.matchAll(/<script>([\s\S]*?)<\/script>/g)].map(m => m[1]).join('\n');

const elements = {};
function element(id) {
  if (!elements[id]) {
    const classes = new Set();
    elements[id] = {
      id, value: '', textContent: '', disabled: false, style: {}, className: '', children: [],
      set innerHTML(text) { this.children = []; },
      classList: {
        toggle(name, on) { if (on === undefined) on = !classes.has(name); on ? classes.add(name) : classes.delete(name); },
        add(name) { classes.add(name); }, remove(name) { classes.delete(name); }, contains: name => classes.has(name),
      },
      appendChild(child) { this.children.push(child); },
      focus() { document.activeElement = this; },
      getBoundingClientRect() { return { left: 10.4, bottom: 22.6 }; },
    };
  }
  return elements[id];
}
let created = 0;
const navigations = [];
const externalCalls = [];
let pendingTimer = null;
const sandbox = {
  window: {
    location: { set href(url) { navigations.push(url); } },
    external: new Proxy({}, { get: (target, name) => (...args) => { externalCalls.push(`${String(name)}(${args.join(',')})`); } }),
  },
  document: {
    body: { dataset: { user: 'alice', secureHttp: 'http://127.0.0.9:8080', contacts: 'bob,carol', voicemailNew: '2' } },
    getElementById: element, createElement: () => element('created-' + ++created), activeElement: null,
  },
  setTimeout: f => { pendingTimer = f; return 1; },
  clearTimeout: () => { pendingTimer = null; },
};
global.window = sandbox.window;
global.document = sandbox.document;
global.setTimeout = sandbox.setTimeout;
global.clearTimeout = sandbox.clearTimeout;

let failures = 0;
function expect(what, actual, expected) {
  const a = JSON.stringify(actual), e = JSON.stringify(expected);
  if (a !== e) { console.log(`FAIL ${what}: got ${a}, expected ${e}`); ++failures; }
}
const take = list => list.splice(0);
const hidden = id => element(id).classList.contains('hidden');
const pad = digit => element('pad').children['123456789*0#'.indexOf(digit)];

(0, eval)(script);  // defines the page functions globally, as a page does, and builds the pad

expect('pad keys', element('pad').children.map(k => k.textContent).join(''), '123456789*0#');
expect('voice-mail link', element('voicemail-link').textContent, 'Voicemail (2)');

// Dialling from the pad and the number field.
pad('5').onmousedown(); pad('5').onmouseup(); pad('#').onmousedown(); pad('#').onmouseup();
doDial();
expect('dial navigation', take(navigations), ['kalvo://call/?5#']);
expect('no tones outside a call', take(externalCalls), []);
clearInput();
expect('clearInput', element('number').value, '');
doDial();
expect('empty number dials nothing', take(navigations), []);

// An incoming call: toast, answer and reject shown, answered by doDial.
doCall('bob', 'incoming');
expect('incoming toast', take(navigations), ['kalvo://toast/?s=Incoming%20call%20from%20bob']);
expect('incoming buttons', [hidden('answer-button'), hidden('reject-button'), hidden('hangup-button')], [false, false, true]);
doDial();
expect('doDial answers', take(navigations), ['kalvo://answer/?']);

// Connected: DTMF through the script object, hold and mute toggles.
doCall('bob', 'connected');
expect('connected display', [element('call-state').textContent, element('call-text').textContent], ['Connected', 'bob']);
expect('toggles enabled', [element('hold-button').disabled, element('mute-button').disabled], [false, false]);
pad('9').onmousedown(); pad('9').onmouseleave(); pad('9').onmouseup();
buttonEvent('*'); pendingTimer();
expect('tones', take(externalCalls), ['StartDTMF(9)', 'EndDTMF(9)', 'StartDTMF(*)', 'EndDTMF(*)']);
expect('tones are not typed', element('number').value, '');
toggle('hold'); toggle('mute'); toggle('hold');
expect('toggles', take(navigations), ['kalvo://hold/?start', 'kalvo://mute/?start', 'kalvo://hold/?stop']);
doDial();
expect('doDial during a call does nothing', take(navigations), []);

// Disconnected: shown, then back to ready; toggles reset.
doCall('', 'disconnected');
expect('ended', [element('call-state').textContent, element('mute-button').textContent], ['Call ended', 'Mute']);
pendingTimer();
expect('ready again', element('call-state').textContent, 'Ready');

// Outgoing call states.
doCall('carol', 'offering');
expect('offering', [element('call-state').textContent, hidden('hangup-button'), hidden('call-button')], ['Calling', false, true]);
doCall('carol', 'ringing');
expect('ringing', element('call-state').textContent, 'Ringing');

// Menus, tabs, contacts, sign-in messages, levels, focus.
openMenu('help', element('menu-help'));
expect('menu', take(navigations), ['kalvo://menu/?t=help&x=10&y=23']);
releaseMenu();
expect('menu released', element('menu-help').classList.contains('open'), false);
showTab('contacts');
expect('contacts', element('contacts').children.map(c => c.textContent), ['bob', 'carol', 'Echo test', 'Voicemail']);
element('contacts').children[2].onclick();
expect('contact call', take(navigations), ['kalvo://call/?echotest']);
showTab('pro', true); signupPro(1);
expect('pro tab', [element('panel-pro').classList.contains('current'), hidden('pro-step-1')], [true, false]);
showTab('history');
expect('history section', [element('panel-history').classList.contains('current'), element('panel-dial').classList.contains('current')], [true, false]);
showTab('directory');
expect('directory section', element('panel-directory').classList.contains('current'), true);
showTab('unknown');
expect('unknown tab shows the phone', element('panel-dial').classList.contains('current'), true);
loadContacts();
expect('reloaded contacts', element('contacts').children.length, 4);
loginStatus('Downloading update...');
expect('status', element('status').textContent, 'Downloading update...');
loginError();
expect('login error shown', element('error').style.display, 'block');
showLevel('in', 150); showLevel('out', 42);
expect('levels', [element('level-in').style.width, element('level-out').style.width], ['100%', '42%']);
document.activeElement = null;
focusIfNone(65);
expect('focus', document.activeElement && document.activeElement.id, 'number');

process.exit(failures ? 1 : 0);
