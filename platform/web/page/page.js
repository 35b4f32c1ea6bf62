// The page around the show: the title card (name, poster, Play, the setup
// dialog's choices folded beneath, the keys), the checks before anything is
// downloaded, the loading bar while the data pack arrives and the music is
// decoded, messages, the F2 overlay, fullscreen, the sound badge and the end
// card with its link to a moment (?t=SECONDS).
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
var kDefaultSize = 1280;
var kMixRate = 44100;
// How long a browser may take to start the sound before the show plays
// without it.
var kSoundWaitMs = 1500;
var errorLines = [];
var played = false;

function setState(state) { document.body.dataset.state = state; }
function state() { return document.body.dataset.state; }

// The program's lines go to the page's log; the console gets them too, but
// for the shader file names a start lists, which tell a visitor nothing.
function log(line) {
  var el = $('log');
  el.textContent += line + '\n';
  el.scrollTop = el.scrollHeight;  // the benchmark's table comes last
  if (line.trim() !== '' && !/^(Materials|PostProcessing)\/+\w+\.cpp$/.test(line)) console.log(line);
}

function leaveFullscreen() {
  if (document.fullscreenElement) document.exitFullscreen().catch(function() {});
}

// Every message stands on the card, outside the fullscreen stage.
function fail(title, text) {
  setState('failed');
  leaveFullscreen();
  $('end').hidden = true;
  $('card').hidden = false;
  $('loading').hidden = true;
  $('setup').hidden = true;
  $('message-title').textContent = title;
  $('message-text').textContent = text;
  $('message').hidden = false;
}

// What this browser lacks of what the show needs, in plain words.
function missingFeatures() {
  var missing = [];
  var gl = null;
  try { gl = document.createElement('canvas').getContext('webgl2'); } catch (error) { gl = null; }
  if (!gl) missing.push('WebGL 2 (the show draws its pictures with it)');
  if (typeof WebAssembly !== 'object') missing.push('WebAssembly (the show\'s program is built for it)');
  if (!window.AudioContext && !window.webkitAudioContext) missing.push('Web Audio (the show plays its music with it)');
  return missing;
}

// The file packager reports "Downloading data... (done/total)".
function showProgress(status) {
  var m = /\((\d+(?:\.\d+)?)\/(\d+(?:\.\d+)?)\)/.exec(status || '');
  if (m) $('bar').value = 100 * m[1] / m[2];
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

function notice(text) {
  $('notice').textContent = text;
  $('notice').hidden = false;
}

function fillForm() {
  var wanted = kDefaultSize;
  if (params.has('width')) {
    var asked = +params.get('width');
    if (kSizes.indexOf(asked) >= 0) {
      wanted = asked;
    } else {
      notice('The link asks for width=' + params.get('width') + ', which is not one of the sizes ' +
             kSizes.join(', ') + '; the form keeps ' + kDefaultSize + '.');
    }
  }
  var select = $('resolution');
  kSizes.forEach(function(w) {
    var option = document.createElement('option');
    option.value = w;
    option.textContent = ' ' + w + ' x ' + (w * 9 / 16) + '  (16:9)';
    option.selected = w === wanted;
    select.appendChild(option);
  });
  if (params.get('aa') === '0') $('antialiased').checked = false;
  if (params.has('t')) $('run').textContent = 'Play from ' + params.get('t') + ' s';
}

// The renderer's name where the browser gives it.
function rendererName() {
  var gl = document.createElement('canvas').getContext('webgl2');
  if (!gl) return '';
  var info = gl.getExtension('WEBGL_debug_renderer_info');
  var name = info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL) : gl.getParameter(gl.RENDERER);
  var lose = gl.getExtension('WEBGL_lose_context');
  if (lose) lose.loseContext();
  return String(name || '');
}

// A browser that draws without a GPU plays the default 1280 with four
// samples at a frame or two a second: unless the link chose, the form starts
// at the smallest size without antialiasing, and says why.
function fitTheMachine() {
  var name = rendererName();
  if (!/SwiftShader|llvmpipe|softpipe|Software/i.test(name)) return;
  if (params.has('width') || params.has('aa')) return;
  $('resolution').value = String(kSizes[0]);
  $('antialiased').checked = false;
  notice('This browser draws without a graphics card (' + name + '): the show starts at ' +
         kSizes[0] + ' x ' + (kSizes[0] * 9 / 16) + ' without antialiasing, which it can keep up ' +
         'with. Settings change it.');
}

// The visitor's own choice of size or antialiasing: a link's, or a change
// in the form.
var sizeChosen = params.has('width') || params.has('aa');
$('resolution').addEventListener('change', function() { sizeChosen = true; });
$('antialiased').addEventListener('change', function() { sizeChosen = true; });

// Frames slower than this over the first seconds of a show bring the offer of
// the smallest size without antialiasing; the show's size never changes
// without the visitor's click.
var kSlowFps = 20;
var kMeasureAfterMs = 1000;  // the first frames compile shaders and fill caches
var kMeasureForMs = 3000;
var restartFrom = null;

function smallest() { return +$('resolution').value === kSizes[0] && !$('antialiased').checked; }

// The show draws one frame at each of the browser's animation frames, so
// counting these counts its frames, paused or not.
function measureFirstFrames() {
  if (sizeChosen || smallest()) return;
  var began = 0, frames = 0;
  var tick = function(now) {
    if (state() !== 'playing') return;
    if (!began) began = now + kMeasureAfterMs;
    else if (now >= began) ++frames;
    if (now < began + kMeasureForMs) {
      requestAnimationFrame(tick);
      return;
    }
    var fps = frames * 1000 / (now - began);
    if (fps >= kSlowFps) return;
    $('smaller').textContent = 'The show runs at ' + fps.toFixed(1) + ' frames a second here. ' +
      'Play on from this moment at ' + kSizes[0] + ' x ' + (kSizes[0] * 9 / 16) +
      ' without antialiasing';
    $('smaller').hidden = false;
  };
  requestAnimationFrame(tick);
}

// Ends the show (as Escape does) and plays on from its moment at the
// smallest size; showEnd picks it up.
$('smaller').addEventListener('click', function() {
  $('smaller').hidden = true;
  $('resolution').value = String(kSizes[0]);
  $('antialiased').checked = false;
  restartFrom = Math.max(0, Math.min(205, Module.showTime || 0));
  pressKey(27);
});

// A tap on the picture pauses and resumes (Space); two taps in quick
// succession switch fullscreen (F11).
function pressKey(code) {
  ['keydown', 'keyup'].forEach(function(type) {
    var event = new KeyboardEvent(type, { bubbles: true, cancelable: true });
    Object.defineProperty(event, 'keyCode', { get: function() { return code; } });
    window.dispatchEvent(event);
  });
}

var kDoubleTapMs = 300;
var lastTap = 0;
var pendingTap = 0;
$('canvas').addEventListener('pointerup', function(event) {
  if (event.pointerType !== 'touch' || state() !== 'playing') return;
  var now = event.timeStamp;
  if (now - lastTap < kDoubleTapMs) {
    clearTimeout(pendingTap);
    lastTap = 0;
    if (document.fullscreenElement) leaveFullscreen();
    else if ($('stage').requestFullscreen) $('stage').requestFullscreen().catch(function() {});
    return;
  }
  lastTap = now;
  pendingTap = setTimeout(function() { pressKey(32); }, kDoubleTapMs);
});

// Starts the page's audio. A browser may refuse it or never answer: the show
// then plays on the page's clock and the badge offers sound at the next
// click or key.
function startAudio() {
  var context;
  try {
    var AudioContextType = window.AudioContext || window.webkitAudioContext;
    context = new AudioContextType({ sampleRate: kMixRate });
  } catch (error) {
    console.warn('no audio: ' + error);
    return Promise.resolve();
  }
  Module.audioContext = context;
  var resumed = Promise.resolve().then(function() { return context.resume(); })
    .catch(function(error) { console.warn('the browser kept the sound off: ' + error); });
  var waited = new Promise(function(done) { setTimeout(done, kSoundWaitMs); });
  return Promise.race([resumed, waited]);
}

function offerSound() {
  var context = Module.audioContext;
  if (!context || context.state === 'running') return;
  $('sound').hidden = false;
  var tryAgain = function() {
    context.resume().then(function() {
      if (context.state !== 'running') return;
      $('sound').hidden = true;
      window.removeEventListener('pointerdown', tryAgain, true);
      window.removeEventListener('keydown', tryAgain, true);
    }).catch(function() {});
  };
  window.addEventListener('pointerdown', tryAgain, true);
  window.addEventListener('keydown', tryAgain, true);
}

function commonArguments() {
  var args = ['--data', '/data', '--width', $('resolution').value];
  args.push($('antialiased').checked ? '--aa' : '--no-aa');
  return args;
}

function start(args) {
  $('card').hidden = true;
  $('end').hidden = true;
  setState('playing');
  var canvas = $('canvas');
  canvas.tabIndex = 0;
  canvas.focus();
  errorLines = [];
  $('smaller').hidden = true;
  var code = Module.callMain(args);
  // main returns for the offline modes; the played show ends through showEnded.
  if (typeof code === 'number') Module.showEnded(code);
}

function play(from) {
  var windowed = $('windowed').checked;
  // Fullscreen needs the visitor's gesture; Enter in the form without one is refused.
  if (!windowed && $('stage').requestFullscreen && navigator.userActivation &&
      navigator.userActivation.isActive) {
    $('stage').requestFullscreen().catch(function() {});
  }
  var args = commonArguments().concat([windowed ? '--windowed' : '--fullscreen']);
  if (from !== null) args.push('--start', String(from));
  played = true;
  startAudio().then(function() {
    offerSound();
    measureFirstFrames();
    start(args);
  });
}

function linkedMoment() { return params.has('t') ? params.get('t') : null; }

function showForm() {
  setState('form');
  $('loading').hidden = true;
  $('setup').hidden = false;
  $('run').focus();
}

function ready() {
  fillForm();
  if (params.has('screenshot')) {
    start(commonArguments().concat(['--screenshot', params.get('screenshot'), '/screenshot.png']));
  } else if (params.has('benchmark')) {
    $('log').hidden = false;
    start(commonArguments().concat(['--benchmark', '--frames', params.get('benchmark') || '5']));
  } else if (params.has('run')) {
    play(linkedMoment());
  } else {
    fitTheMachine();
    showForm();
  }
}

// The link to a moment keeps the visitor's settings.
function momentLink(seconds) {
  var link = new URLSearchParams();
  link.set('t', seconds.toFixed(1));
  if (+$('resolution').value !== kDefaultSize) link.set('width', $('resolution').value);
  if (!$('antialiased').checked) link.set('aa', '0');
  return location.pathname + '?' + link.toString();
}

function showEnd() {
  if (restartFrom !== null) {
    var from = restartFrom;
    restartFrom = null;
    play(from);
    return;
  }
  var at = Math.max(0, Math.min(205, Module.showTime || 0));
  $('overlay').hidden = true;
  $('timeline').hidden = true;
  $('canvas').tabIndex = -1;
  $('card').hidden = true;
  $('end').hidden = false;
  $('from').textContent = 'Play from ' + at.toFixed(1) + ' s';
  $('from').dataset.from = at.toFixed(1);
  var link = momentLink(at);
  $('moment').href = link;
  $('moment').textContent = location.origin + link;
  $('again').focus();
}

// A command-line error (exit code 2) is a value of the link's the program
// refused: it says which in its own words, on its first line before the usage.
function endedWith(code) {
  if (code === 2) {
    var said = errorLines.filter(function(line) { return line.trim() !== ''; });
    fail('This link cannot be played', 'The page passed the link\'s values to the show, which answered: ' +
         (said.length ? said[0] : 'exit code 2'));
    return;
  }
  if (state() !== 'failed') setState('ended');
  leaveFullscreen();
  if (played && state() === 'ended') showEnd();
}

// A file the page needs named, and what went wrong with it.
function explainAbort(what) {
  var text = String(what);
  if (!/wasm|WebAssembly|CompileError|LinkError/i.test(text)) {
    fail('ERROR', 'The show stopped: ' + text);
    return;
  }
  fetch('tessaly.wasm', { method: 'HEAD', cache: 'no-store' }).then(function(response) {
    fail('ERROR', response.ok
      ? 'The show\'s program "tessaly.wasm" is damaged: this browser cannot compile it (' + text + '). Reload the page; if it stays, the file on the server needs replacing.'
      : 'The show\'s program "tessaly.wasm" is missing: the server answered ' + response.status + ' ' + response.statusText + '.');
  }, function(error) {
    fail('ERROR', 'The show\'s program "tessaly.wasm" could not be downloaded: ' + error);
  });
}

function loadProgram() {
  var script = document.createElement('script');
  script.src = 'tessaly.js';
  script.async = true;
  script.onerror = function() {
    fail('ERROR', 'The show\'s loader "tessaly.js" could not be downloaded (missing on the server, or the connection failed). Reload the page to try again.');
  };
  document.body.appendChild(script);
}

// The data pack's download fails outside any callback the page can hook.
window.addEventListener('error', function(event) {
  var text = String(event.message || '');
  if (/tessaly\.data|NetworkError/.test(text))
    fail('ERROR', 'The data pack "tessaly.data" could not be downloaded: ' + text.replace(/^Uncaught Error: /, '') + '.');
});

$('setup').addEventListener('submit', function(event) {
  event.preventDefault();
  play(linkedMoment());
});
$('again').addEventListener('click', function() { play(null); });
$('from').addEventListener('click', function() { play(+$('from').dataset.from); });

// The timeline: shown while the pointer moves or a key is pressed, hidden
// after a few quiet seconds; a click or a drag seeks as the arrow keys do.
var kTimelineQuietMs = 2500;
var timelineEnd = 205;
var sectionNames = [];
var quietTimer = 0;
var dragging = false;
var hovered = false;

function sectionAt(t) {
  var name = '';
  sectionNames.forEach(function(section) { if (t >= section.start) name = section.name; });
  return name;
}

function showTimeline(text, end) {
  timelineEnd = end;
  $('scrub').max = String(end);
  var sections = $('sections');
  sections.textContent = '';
  sectionNames = text.trim().split('\n').map(function(line) {
    var space = line.indexOf(' ');
    return { start: +line.slice(0, space), name: line.slice(space + 1) };
  });
  sectionNames.forEach(function(section) {
    var label = document.createElement('span');
    label.textContent = section.name;
    label.style.left = (100 * section.start / end) + '%';
    sections.appendChild(label);
  });
}

function followShow() {
  if ($('timeline').hidden) return;
  var t = Module.showTime || 0;
  if (!dragging) $('scrub').value = String(t);
  var shown = dragging ? +$('scrub').value : t;
  $('now').textContent = shown.toFixed(1) + ' s · ' + sectionAt(shown);
  requestAnimationFrame(followShow);
}

function wakeTimeline() {
  if (state() !== 'playing' || !sectionNames.length) return;
  clearTimeout(quietTimer);
  quietTimer = setTimeout(function() {
    if (!dragging && !hovered) $('timeline').hidden = true;
  }, kTimelineQuietMs);
  if (!$('timeline').hidden) return;
  $('timeline').hidden = false;
  requestAnimationFrame(followShow);
}

function seekTo(t) { Module.ccall('tessaly_seek', null, ['number'], [Math.max(0, Math.min(timelineEnd, t))]); }

$('stage').addEventListener('pointermove', wakeTimeline);
window.addEventListener('keydown', wakeTimeline);
// The timeline stays while the pointer is on it.
$('timeline').addEventListener('pointerenter', function() { hovered = true; });
$('timeline').addEventListener('pointerleave', function() {
  hovered = false;
  wakeTimeline();
});
$('scrub').addEventListener('pointerdown', function() { dragging = true; });
// The show's own keys seek the show once: the bar does not also step by itself.
var kShowSeekKeys = ['ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'PageUp', 'PageDown', 'Home'];
$('scrub').addEventListener('keydown', function(event) {
  if (kShowSeekKeys.indexOf(event.key) >= 0) event.preventDefault();
});
$('scrub').addEventListener('input', function() {
  wakeTimeline();
  seekTo(+$('scrub').value);
});
$('scrub').addEventListener('change', function() {
  dragging = false;
  seekTo(+$('scrub').value);
  $('canvas').focus();
});

window.Module = {
  canvas: $('canvas'),
  // The program reads the pack's images and sounds itself.
  noImageDecoding: true,
  noAudioDecoding: true,
  pictures: {},
  print: log,
  printErr: function(line) {
    errorLines.push(line);
    log(line);
  },
  setStatus: showProgress,
  onRuntimeInitialized: function() { decodeSounds().then(ready); },
  onAbort: explainAbort,
  showTimeline: showTimeline,
  showMessage: fail,
  showOverlay: function(text) {
    $('overlay').textContent = text;
    $('overlay').hidden = text === '' || state() !== 'playing';
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
    $('sound').hidden = true;
    endedWith(code);
  },
};

var missing = missingFeatures();
if (missing.length) {
  fail("Can't Create A GL Rendering Context.",
       'This browser cannot play the show: it lacks ' + missing.join('; ') + '. ' +
       'Try a current Firefox, Chrome, Edge or Safari, turn on hardware (graphics) acceleration ' +
       'in the browser\'s settings, or update the graphics driver. The show itself was not downloaded.');
} else {
  loadProgram();
}
})();
