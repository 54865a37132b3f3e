// What the page tests share: headless Chromium (and, unless asked not to,
// the pages served), keys, clicks and waits as a person gives them, the
// canvas's pixels, and the verdict at the end with a screenshot of a failure
// for a person to look at (PAGE_TEST_SHOT names its file).
import { writeFileSync } from 'node:fs';
import { launch, serve } from './cdp.mjs';

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// In how many pixels two pictures (0xRRGGBB each) differ; pictures of other
// sizes differ everywhere.
export function differing(a, b) {
    let n = a.length === b.length ? 0 : Math.max(a.length, b.length);
    for (let i = 0; i < Math.min(a.length, b.length); ++i) if (a[i] !== b[i]) ++n;
    return n;
}

// served: false for a test that serves the pages itself (or not at all).
// explain: what a wait in vain reports of the page besides.
export async function openSession(webDir, { served = true, explain = null } = {}) {
    const server = served ? await serve(webDir) : null;
    const browser = await launch();
    const { send, evaluate } = browser;
    const failures = [];
    const session = {
        send,
        evaluate,
        browser,
        base: server ? `http://127.0.0.1:${server.address().port}` : null,
        check(ok, what) { if (!ok) failures.push(what); },
        async waitFor(expression, what, seconds = 30) {
            const until = Date.now() + seconds * 1000;
            for (;;) {
                // A page in navigation has no context to evaluate in yet.
                const value = await evaluate(expression).catch(() => null);
                if (value) return value;
                if (Date.now() > until) {
                    const state = explain ? `; the page: ${await evaluate(explain).catch(() => '?')}` : '';
                    throw new Error(`waited ${seconds} s in vain for ${what}${state}`);
                }
                await sleep(50);
            }
        },
        // A key pressed and let go. modifiers: 1 Alt, 2 Ctrl; code: the key's name unless given.
        async key(name, virtualKey, { text, modifiers = 0, code = name } = {}) {
            await send('Input.dispatchKeyEvent', { type: 'keyDown', key: name, code, windowsVirtualKeyCode: virtualKey, text, modifiers });
            await send('Input.dispatchKeyEvent', { type: 'keyUp', key: name, code, windowsVirtualKeyCode: virtualKey, modifiers });
        },
        enter() { return session.key('Enter', 13, { text: '\r' }); },
        async clickAt(x, y) {
            for (const type of ['mousePressed', 'mouseReleased'])
                await send('Input.dispatchMouseEvent', { type, x, y, button: 'left', buttons: type === 'mousePressed' ? 1 : 0, clickCount: 1 });
        },
        // The middle of the element the expression finds.
        async clickOn(expression) {
            const r = await evaluate(`(() => { const e = ${expression}; if (!e) return null; const b = e.getBoundingClientRect();
                                       return { x: b.x + b.width / 2, y: b.y + b.height / 2 }; })()`);
            if (!r) throw new Error(`nothing to click: ${expression}`);
            await session.clickAt(r.x, r.y);
        },
        // The canvas as 0xRRGGBB per pixel.
        async canvasPixels() {
            const rgba = await evaluate(`(() => { const d = document.getElementById('picture').getContext('2d')
                .getImageData(0, 0, 1024, 768).data; let s = ''; for (let i = 0; i < d.length; i += 32768)
                s += String.fromCharCode.apply(null, d.subarray(i, i + 32768)); return btoa(s); })()`);
            const bytes = Buffer.from(rgba, 'base64');
            const pixels = new Uint32Array(1024 * 768);
            for (let p = 0; p < pixels.length; ++p) pixels[p] = (bytes[4 * p] << 16) | (bytes[4 * p + 1] << 8) | bytes[4 * p + 2];
            return pixels;
        },
        // Runs the test; what it throws is a failure. Then the browser and
        // the server close, `cleanup` runs, and the verdict is printed: the
        // process ends with it.
        async run(body, passed, cleanup = () => {}) {
            try {
                await body();
            } catch (error) {
                failures.push(String(error.stack || error));
            }
            try {
                if (failures.length && process.env.PAGE_TEST_SHOT) {
                    const shot = await send('Page.captureScreenshot', { format: 'png' });
                    writeFileSync(process.env.PAGE_TEST_SHOT, Buffer.from(shot.data, 'base64'));
                }
            } finally {
                await browser.close();
                if (server) server.close();
                cleanup();
            }
            if (failures.length) {
                console.log(failures.join('\n'));
                console.log('0 passed, 1 failed');
                process.exit(1);
            }
            console.log(`${passed}: 1 passed, 0 failed`);
        },
    };
    return session;
}
