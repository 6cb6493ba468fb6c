var loadedFrom = 'standalone.js';
webkit.messageHandlers.ready.postMessage({ from: loadedFrom });
