// Reference listening widget: a small stand-in for the script that runs in a
// publisher's page. It keeps the listening state in a store, reacts to the
// player actions, tracking actions, events and promise answers the native
// side sends under window.__orvaneGlobal__, and posts the messages a widget
// posts ("setSource", "play", "pause") to webkit.messageHandlers.
//
// Its initial state is window.__orvaneInitialState__ when a page sets it
// before this script, else a small built-in demo state. Tests read what it
// saw through window.__orvaneGlobal__.debug.
(function () {
  'use strict';

  var builtInState = {
    contents: {
      'demo-podcast': {
        key: 'demo-podcast',
        title: 'Reference Podcast',
        type: 'podcast',
        mainColor: '#1A2B3C',
        description: { title: 'Reference Podcast', text: 'A podcast made for trying the component.' },
        tracks: [
          {
            key: 'demo-episode-1',
            title: 'Episode 1',
            episode: 1,
            publicationDate: '2026-01-05T08:00:00.000Z',
            selected: true,
            audio: { audioSrc: 'http://127.0.0.1/audio/demo-episode-1.mp3', trackDuration: 120.0 }
          },
          {
            key: 'demo-episode-2',
            title: 'Episode 2',
            episode: 2,
            publicationDate: '2026-01-12T08:00:00.000Z',
            selected: false,
            audio: { audioSrc: 'http://127.0.0.1/audio/demo-episode-2.mp3', trackDuration: 95.5 }
          }
        ]
      }
    },
    locations: {
      main: {
        content: { key: 'demo-podcast', loading: false },
        track: { key: 'demo-episode-1', currentTime: 0 },
        recommendations: { keys: [] },
        theme: { chipPosition: 'bottom_right', chipSize: 'normal', mainColor: '#1A2B3C' }
      }
    },
    player: { locationKey: 'main', playingStatus: 'paused', muted: false, closed: true, readMore: false }
  };

  function copy(value) {
    return value === undefined ? undefined : JSON.parse(JSON.stringify(value));
  }

  function post(name, body) {
    window.webkit.messageHandlers[name].postMessage(body);
  }

  var state = copy(window.__orvaneInitialState__ || builtInState);
  var listeners = [];
  var pending = {};
  var nextPromise = 1;
  var debug = { actions: [], tracking: [], events: [], settled: [], selectedKeys: [] };

  function notify() {
    listeners.slice().forEach(function (listener) { listener(); });
  }

  function currentLocation() {
    var key = state.player && state.player.locationKey;
    return key && state.locations ? state.locations[key] : undefined;
  }

  function findTrack(key) {
    var contents = state.contents || {};
    for (var contentKey in contents) {
      var tracks = contents[contentKey].tracks || [];
      for (var i = 0; i < tracks.length; i++) {
        if (tracks[i].key === key) return { contentKey: contentKey, track: tracks[i] };
      }
    }
    return undefined;
  }

  function currentTrack() {
    var location = currentLocation();
    return location && location.track ? findTrack(location.track.key) : undefined;
  }

  function setPlayingStatus(status) {
    if (!state.player) state.player = {};
    state.player.playingStatus = status;
  }

  // Asks the native side for something that answers with a promise.
  function ask(name, body) {
    var id = (body && body.promiseId) || name + '-' + nextPromise++;
    var promise = new Promise(function (resolve, reject) { pending[id] = { resolve: resolve, reject: reject }; });
    post(name, Object.assign({}, body || {}, { promiseId: id }));
    return promise;
  }

  function requestPlay() {
    setPlayingStatus('loading');
    return ask('play').then(function () {
      setPlayingStatus('playing');
      notify();
    }, function () {
      setPlayingStatus('paused');
      notify();
    });
  }

  function selectTrack(key) {
    debug.selectedKeys.push(key);
    var found = findTrack(key);
    var location = currentLocation();
    if (!found || !location) return;
    location.content = { key: found.contentKey, loading: false };
    location.track = { key: key, currentTime: 0 };
    post('setSource', { source: found.track.audio.audioSrc });
    requestPlay();
  }

  var store = {
    subscribe: function (listener) {
      listeners.push(listener);
      return function unsubscribe() {
        listeners = listeners.filter(function (l) { return l !== listener; });
      };
    },
    getState: function () { return state; },
    dispatch: function (action) {
      var type = action && action.type;
      debug.actions.push(type);
      if (typeof type === 'string' && type.trim().indexOf('TRACK_') === 0) {
        debug.tracking.push(type);
        return action;
      }
      switch (type) {
        case 'PLAYER_OPEN':
          if (state.player) state.player.closed = false;
          break;
        case 'PLAYER_CLOSE':
          if (state.player) state.player.closed = true;
          setPlayingStatus('paused');
          break;
        case 'PLAYER_SELECT_TRACK':
          selectTrack(action.payload && action.payload.key);
          break;
        case 'PLAYER_PLAY_REQUESTED':
          requestPlay();
          break;
        case 'PLAYER_PAUSE':
          setPlayingStatus('paused');
          post('pause', {});
          break;
        case 'PLAYER_USER_TIME_UPDATE':
          var location = currentLocation();
          if (location && location.track) location.track.currentTime = action.payload;
          break;
        case 'PLAYER_TOGGLE_READ_MORE':
          if (state.player) state.player.readMore = !state.player.readMore;
          break;
        case 'WIDGET_SET_STATE':
          // The widget's own loading of a whole new state.
          state = copy(action.payload);
          break;
        default:
          return action;
      }
      notify();
      return action;
    }
  };

  var crossStackHandler = {
    emit: function (name, value) {
      debug.events.push(value === undefined ? [name] : [name, value]);
      var location = currentLocation();
      if (name === 'timeupdate') {
        if (location && location.track) location.track.currentTime = value;
      } else if (name === 'durationchange') {
        var found = currentTrack();
        if (found) found.track.audio.trackDuration = value;
      } else if (name === 'end') {
        setPlayingStatus('paused');
      } else {
        return;
      }
      notify();
    },
    resolvePromise: function (id, value) {
      debug.settled.push({ id: id, outcome: 'resolved', value: value === undefined ? null : value });
      var entry = pending[id];
      delete pending[id];
      if (entry) entry.resolve(value);
    },
    rejectPromise: function (id, error) {
      debug.settled.push({ id: id, outcome: 'rejected', value: error === undefined ? null : error });
      var entry = pending[id];
      delete pending[id];
      if (entry) entry.reject(error);
    },
    ask: ask
  };

  window.__orvaneGlobal__ = { store: store, crossStackHandler: crossStackHandler, debug: debug };
})();
