// The page's markup checked by a pinned HTML validator with its rules for
// accessibility (names for every control, headings, landmarks, roles).
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const path = require('node:path');
const { HtmlValidate } = require('html-validate');

test('the page is valid HTML and passes the accessibility rules', async () => {
  const validator = new HtmlValidate({ extends: ['html-validate:recommended', 'html-validate:a11y'] });
  const page = path.resolve(__dirname, '../../platform/web/page/index.html');
  const report = await validator.validateFile(page);
  const problems = report.results.flatMap(file => file.messages.map(m =>
    `${page}:${m.line}:${m.column} ${m.ruleId}: ${m.message}`));
  console.log(problems.length ? problems.join('\n') : `${page}: no problems`);
  assert.deepStrictEqual(problems, []);
});
