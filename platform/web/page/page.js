// The page around the show: the loading bar while the data pack arrives, the
// sounds decoded before the show starts, the setup form, messages, the F2
// overlay, fullscreen and the link to a moment (?t=SECONDS).
//
// The form's choices become the program's command line, as the desktop's
// dialog choices become its screen settings. Query parameters:
//   t=SECONDS         start the show at that moment, music included
//   width=W           the form's size (640, 960, 1280 or 1920)
//   aa=0              the form's "Antialiased" unticked
//   run               start without waiting for the form (kiosks; the browser
//                     may keep the sound off without a click)
//   screenshot=T      render the frame at show time T and stop (no sound)
//   benchmark[=N]     time every scene, N frames each, and print the table
// Everything but Module stays inside this function: the program's loader
// defines globals of its own (run among them).
(function() {
'use strict';

var params = new URLSearchParams(location.search);
var $ = function(id) { return document.getElementById(id); };
var kSizes = [640, 960, 1280, 1920];
var kMixRate = 44100;

function setState(state) { document.body.dataset.state = state; }

function log(line) {
  var el = $('log');
  el.textContent += line + '\n';
  console.log(line);
}

function showMessage(title, text) {
  $('loading').hidden = true;
  $('setup').hidden = true;
  $('message-title').textContent = title;
  $('message-text').textContent = text;
  $('message').hidden = false;
}

// The file packager reports "Downloading data... (done/total)".
function showProgress(status) {
  var m = /\((\d+(?:\.\d+)?)\/(\d+(?:\.\d+)?)\)/.exec(status || '');
  if (m) $('bar-fill').style.width = (100 * m[1] / m[2]).toFixed(1) + '%';
  if (status) $('loading-text').textContent = status.replace(/\s*\(.*\)$/, '');
}

// Every sound of the pack, decoded by the browser at the show's mixing rate.
function decodeSounds() {
  var folder = '/data/music';
  var names = Module.FS.readdir(folder).filter(function(n) { return /\.mp3$/i.test(n); });
  var decoder = new OfflineAudioContext(2, 1, kMixRate);
  Module.decodedSounds = {};
  $('loading-text').textContent = 'Decoding the music';
  return Promise.all(names.map(function(name) {
    var path = folder + '/' + name;
    var bytes = Module.FS.readFile(path);
    return decoder.decodeAudioData(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length))
      .then(function(buffer) { Module.decodedSounds[path] = buffer; })
      .catch(function(error) { console.error(path + ': cannot be decoded: ' + error); });
  }));
}

function fillForm() {
  var wanted = +(params.get('width') || 1280);
  var select = $('resolution');
  kSizes.forEach(function(w) {
    var option = document.createElement('option');
    option.value = w;
    option.textContent = ' ' + w + ' x ' + (w * 9 / 16) + '  (16:9)';
    option.selected = w === wanted;
    select.appendChild(option);
  });
  if (params.get('aa') === '0') $('antialiased').checked = false;
}

function startAudio() {
  try {
    var AudioContextType = window.AudioContext || window.webkitAudioContext;
    Module.audioContext = new AudioContextType({ sampleRate: kMixRate });
    return Module.audioContext.resume();
  } catch (error) {
    console.error('no audio: ' + error);
    return Promise.resolve();
  }
}

function commonArguments() {
  var args = ['--data', '/data', '--width', $('resolution').value];
  args.push($('antialiased').checked ? '--aa' : '--no-aa');
  return args;
}

function start(args) {
  $('setup').hidden = true;
  $('loading').hidden = true;
  setState('playing');
  $('canvas').focus();
  var code = Module.callMain(args);
  // main returns for the offline modes; the played show ends through showEnded.
  if (typeof code === 'number') Module.showEnded(code);
}

function run(event) {
  if (event) event.preventDefault();
  var windowed = $('windowed').checked;
  if (!windowed && $('stage').requestFullscreen) $('stage').requestFullscreen().catch(function() {});
  var args = commonArguments().concat([windowed ? '--windowed' : '--fullscreen']);
  if (params.has('t')) args.push('--start', params.get('t'));
  startAudio().then(function() { start(args); });
}

function ready() {
  fillForm();
  if (params.has('screenshot')) {
    start(commonArguments().concat(['--screenshot', params.get('screenshot'), '/screenshot.png']));
  } else if (params.has('benchmark')) {
    $('log').hidden = false;
    start(commonArguments().concat(['--benchmark', '--frames', params.get('benchmark') || '5']));
  } else if (params.has('run')) {
    run(null);
  } else {
    setState('form');
    $('loading').hidden = true;
    $('setup').hidden = false;
    $('run').focus();
  }
}

$('setup').addEventListener('submit', run);
$('quit').addEventListener('click', function() {
  $('setup').hidden = true;
  setState('ended');
});

window.Module = {
  canvas: $('canvas'),
  // The program reads the pack's images and sounds itself.
  noImageDecoding: true,
  noAudioDecoding: true,
  pictures: {},
  print: log,
  printErr: function(line) { log(line); },
  setStatus: showProgress,
  onRuntimeInitialized: function() { decodeSounds().then(ready); },
  onAbort: function(what) {
    setState('failed');
    showMessage('ERROR', 'The show cannot run in this browser: ' + what);
  },
  showMessage: function(title, text) {
    setState('failed');
    showMessage(title, text);
  },
  showOverlay: function(text) {
    $('overlay').textContent = text;
    $('overlay').hidden = text === '';
  },
  // A picture the program wrote (rows of RGB, top first), kept as a PNG data URL.
  receivePicture: function(path, width, height, rgb) {
    var canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    var context = canvas.getContext('2d');
    var image = context.createImageData(width, height);
    for (var i = 0, j = 0; i < rgb.length; i += 3, j += 4) {
      image.data[j] = rgb[i];
      image.data[j + 1] = rgb[i + 1];
      image.data[j + 2] = rgb[i + 2];
      image.data[j + 3] = 255;
    }
    context.putImageData(image, 0, 0);
    Module.pictures[path] = canvas.toDataURL('image/png');
  },
  showEnded: function(code) {
    Module.exitCode = code;
    if (document.body.dataset.state !== 'failed') setState('ended');
    if (document.fullscreenElement) document.exitFullscreen().catch(function() {});
  },
};
})();
