// A machine too slow for the size the visitor left as it was: after the
// first frames the page offers the smallest size without antialiasing, and
// the offer plays on from the same moment at that size.
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { serve, launch, openPage, waitState } = require('./support');

test('slow first frames bring the offer of the smaller size, which plays on from the moment', async () => {
  const { server, base } = await serve();
  const browser = await launch();
  try {
    const page = await openPage(browser);
    // The renderer passes for a graphics card, so the form keeps 1280 with
    // four samples, which SwiftShader draws at a frame or two a second.
    await page.addInitScript(() => {
      const get = WebGL2RenderingContext.prototype.getParameter;
      WebGL2RenderingContext.prototype.getParameter = function(name) {
        return name === 0x9246 || name === 0x1F01 ? 'A graphics card' : get.call(this, name);
      };
    });
    await page.goto(`${base}/index.html?t=40`);
    assert.strictEqual(await waitState(page, ['form', 'failed']), 'form', page.lines.join('\n'));
    assert.strictEqual(await page.inputValue('#resolution'), '1280');
    await page.click('#run');
    await page.waitForSelector('#smaller', { state: 'visible', timeout: 60000 });
    assert.match(await page.textContent('#smaller'), /frames a second .* 640 x 360 without antialiasing/);
    const at = await page.evaluate(() => Module.showTime);
    await page.click('#smaller');
    await page.waitForFunction(() => Module.canvas.width === 640 && Module.showTime > 0, null,
      { timeout: 60000 });
    assert.strictEqual(await waitState(page, ['playing']), 'playing');
    assert.ok(await page.$eval('#smaller', e => e.hidden));
    const now = await page.evaluate(() => Module.showTime);
    assert.ok(now >= at - 0.5 && now < at + 10, `played on from ${at} s at ${now} s`);
  } finally {
    await browser.close();
    server.close();
  }
});
