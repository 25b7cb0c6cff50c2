// The page without a network: once seen over http(s), the service worker
// (sw.js, written with the site) keeps every file of the site and gives
// them from there. Where the browser has no service workers, or the page
// is opened from a file, it works as before, with the network.
export function keepOffline(): void {
  if (!('serviceWorker' in navigator) || !/^https?:$/.test(location.protocol)) return;
  navigator.serviceWorker.register('./sw.js').catch(() => {
    // Refused (an insecure origin, or storage denied): the page still works online.
  });
}
