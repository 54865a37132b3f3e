// Emscripten 3.1.6 predates Node's global fetch: with it, the loader would
// fetch the .wasm file by its path, which Node refuses. Node reads the file.
if (typeof process === 'object' && typeof globalThis.fetch === 'function') globalThis.fetch = undefined;
