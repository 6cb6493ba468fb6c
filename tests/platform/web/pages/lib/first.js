window.trace.push('first.js');
